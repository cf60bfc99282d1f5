#include "engine/res/value_atom.h"

#include "engine/base/tstream.h"
#include "engine/res/constant_atom.h"
#include "engine/res/def_atom.h"
#include "engine/res/func_atom.h"
#include "engine/res/ref_atom.h"
#include "engine/res/variable_atom.h"

namespace kq {

namespace {

// The atom that the look-ahead token starts, or null where the node has no value.
ValueAtom* new_atom_for(const std::string& token)
{
    if (token == ":" || token == "{")
        return nullptr;
    if (token == "=")
        return new FuncAtom;
    if (token == "*")
        return new VariableAtom;
    if (token == "&")
        return new RefAtom;
    if (token == "#")
        return new DefAtom;
    return new ConstantAtom;
}

}

SharedPtr<ValueAtom> parse_atom(TStream& stream)
{
    if (stream.is_eof())
        return {};
    SharedPtr<ValueAtom> atom(new_atom_for(stream.peek_token()));
    if (atom)
        atom->read_text(stream);
    return atom;
}

std::string evaluate_folding(SharedPtr<ValueAtom>& slot, const SkinPath& context)
{
    if (slot->is_foldable() && slot->is_constant()) {
        SharedPtr<ValueAtom> folded(new ConstantAtom(slot->evaluate(context)));
        slot = folded;
    }
    // Held here so that the atom outlives its evaluation even if the slot changes meanwhile.
    SharedPtr<ValueAtom> atom = slot;
    return atom->evaluate(context);
}

}
