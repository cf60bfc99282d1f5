#pragma once

#include <string>

#include "engine/base/type_name.h"
#include "engine/res/value_atom.h"

namespace kq {

/// A literal text.
class ConstantAtom : public ValueAtom
{
public:
    /// The empty text.
    ConstantAtom() = default;
    /// The given text.
    explicit ConstantAtom(std::string text) : m_text(std::move(text)) {}

    /// The literal text.
    const std::string& text() const { return m_text; }

    /// The text itself.
    std::string evaluate(const SkinPath& context) override;
    /// True.
    bool is_constant() override { return true; }
    /// False: it is a constant already.
    bool is_foldable() override { return false; }

    /// Writes the text as a block token, or quoted where a block would not read back, with
    /// "!" before a text that would read as a marker.
    void write_text(TStream& stream) const override;
    /// Takes one token as the text, or the token after a "!".
    void read_text(TStream& stream) override;
    /// u8 0, then the text as u32 length and bytes.
    void store(BStream& stream) const override;
    /// Reads what `store` wrote.
    void load(BStream& stream) override;

private:
    std::string m_text;
};

}

KQ_TYPE_NAME(kq::ConstantAtom, "class kq::ConstantAtom");
