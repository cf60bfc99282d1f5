#include "engine/res/func_atom.h"

#include <algorithm>

#include "engine/base/bstream.h"
#include "engine/base/tstream.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_nesting.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_token.h"

namespace kq {

std::string FuncAtom::evaluate(const SkinPath& context)
{
    std::vector<std::string> texts;
    for (SharedPtr<ValueAtom>& argument : m_arguments)
        texts.push_back(evaluate_folding(argument, context));
    return require_skin_environment().call_function(m_name, texts, context);
}

bool FuncAtom::is_constant()
{
    return require_skin_environment().is_constant_function(m_name)
           && std::all_of(m_arguments.begin(), m_arguments.end(),
                          [](const SharedPtr<ValueAtom>& argument) { return argument->is_constant(); });
}

void FuncAtom::write_text(TStream& stream) const
{
    stream << "=" << m_name << "(";
    for (std::size_t i = 0; i < m_arguments.size(); ++i) {
        if (i > 0)
            stream << " ";
        m_arguments[i]->write_text(stream);
    }
    stream << ")";
}

void FuncAtom::read_text(TStream& stream)
{
    SkinNesting nesting(stream, 1);
    m_arguments.clear();
    stream.expect("=");
    m_name = read_name_token(stream);
    stream.expect("(");
    while (!stream.is_eof() && !stream.token_is(")")) {
        SharedPtr<ValueAtom> argument = parse_atom(stream);
        if (!argument)
            stream.error("unexpected symbol '" + stream.peek_token() + "' in the arguments of function "
                         + m_name.c_str() + ".");
        m_arguments.push_back(argument);
    }
    stream.expect(")");
}

void FuncAtom::store(BStream& stream) const
{
    store_atom(stream, m_name);
    write_binary(stream, m_arguments);
}

void FuncAtom::load(BStream& stream)
{
    SkinNesting nesting(stream, 1);
    load_atom(stream, m_name);
    read_binary(stream, m_arguments);
    // An argument met before in the stream would share a branch, which evaluating and writing
    // then repeat at every level it occurs.
    for (const SharedPtr<ValueAtom>& argument : m_arguments)
        if (!argument || argument.counter()->m_use_count != 1)
            stream.error("invalid function argument.");
}

}
