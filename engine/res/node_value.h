#pragma once

#include <string>

#include "engine/base/binary_io.h"
#include "engine/base/text_io.h"
#include "engine/res/value_atom.h"

namespace kq {

/// The value of a skin node: one shared atom, or none.
class NodeValue : public BinaryIO, public TextIO
{
public:
    /// Whether there is an atom.
    bool has_value() const { return static_cast<bool>(m_atom); }
    /// Drops the atom.
    void reset() { m_atom.reset(); }
    /// The atom (empty when there is none).
    const SharedPtr<ValueAtom>& atom() const { return m_atom; }
    /// Shares the atom.
    void set_atom(const SharedPtr<ValueAtom>& atom) { m_atom = atom; }

    /// The text of the atom for the node read at the context path, folding it first where it
    /// is constant and foldable; the empty text when there is no atom.
    std::string evaluate(const SkinPath& context);

    /// Writes the atom's text form; nothing when there is none.
    void write_text(TStream& stream) const override;
    /// Replaces the atom by the one read at the stream's position (possibly none).
    void read_text(TStream& stream) override;
    /// u8 0, then the atom as a shared reference (0xFFFFFFFF when none).
    void store(BStream& stream) const override;
    /// Reads what `store` wrote.
    void load(BStream& stream) override;

private:
    SharedPtr<ValueAtom> m_atom;
};

}
