#pragma once

#include <string>

#include "engine/base/binary_io.h"
#include "engine/base/bstream.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/text_io.h"

namespace kq {

class SkinPath;
class TStream;

/// The value of a skin node: a small expression evaluated when the node is read, in the
/// context of the path that was asked for.
class ValueAtom : public BinaryIO, public TextIO
{
public:
    /// The value as text, for the node read at the context path.
    virtual std::string evaluate(const SkinPath& context) = 0;
    /// Whether the result cannot depend on the context.
    virtual bool is_constant() = 0;
    /// Whether replacing the atom by a constant of its result saves work.
    virtual bool is_foldable() = 0;
};

/// Reads one atom at the stream's position; empty at the end of input or before ":" or "{".
SharedPtr<ValueAtom> parse_atom(TStream& stream);

/// Evaluates the atom in the slot; a constant, foldable atom is first replaced in the slot by
/// a constant of its result, so that it is computed only once.
std::string evaluate_folding(SharedPtr<ValueAtom>& slot, const SkinPath& context);

/// Writes the binary form of an atom (or node value) holding one field: the format byte 0,
/// then the field.
template <class Field>
void store_atom(BStream& stream, const Field& field)
{
    write_u8(stream, 0);
    write_binary(stream, field);
}

/// Reads what `store_atom` wrote; the format byte must be there but is not checked.
template <class Field>
void load_atom(BStream& stream, Field& field)
{
    read_u8(stream);
    read_binary(stream, field);
}

}
