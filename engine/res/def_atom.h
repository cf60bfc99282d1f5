#pragma once

#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"
#include "engine/res/value_atom.h"

namespace kq {

/// A reference to a named definition of the skin service, written #"name".
class DefAtom : public ValueAtom
{
public:
    /// The empty name.
    DefAtom() = default;
    /// A reference to the definition of this name.
    explicit DefAtom(StrCache name) : m_name(name) {}

    /// The definition's name.
    StrCache name() const { return m_name; }

    /// The text of the definition; throws "using undefined definition [".
    std::string evaluate(const SkinPath& context) override;
    /// True.
    bool is_constant() override { return true; }
    /// True: a definition is looked up once.
    bool is_foldable() override { return true; }

    /// Writes "#" and the name quoted.
    void write_text(TStream& stream) const override;
    /// Reads "#" and one token as the name.
    void read_text(TStream& stream) override;
    /// u8 0, then the name as an interned string.
    void store(BStream& stream) const override;
    /// Reads what `store` wrote.
    void load(BStream& stream) override;

private:
    StrCache m_name;
};

}

KQ_TYPE_NAME(kq::DefAtom, "class kq::DefAtom");
