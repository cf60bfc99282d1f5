#pragma once

#include <vector>

#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"
#include "engine/res/value_atom.h"

namespace kq {

/// A call of a skin function with atom arguments, written ="name"(arguments).
class FuncAtom : public ValueAtom
{
public:
    /// The empty name, no arguments.
    FuncAtom() = default;
    /// A call of the function with these arguments.
    FuncAtom(StrCache name, std::vector<SharedPtr<ValueAtom>> arguments)
        : m_name(name), m_arguments(std::move(arguments))
    {
    }

    /// The function's name.
    StrCache name() const { return m_name; }
    /// The argument atoms, in order.
    const std::vector<SharedPtr<ValueAtom>>& arguments() const { return m_arguments; }

    /// The function's result for the arguments evaluated (and folded) in order.
    std::string evaluate(const SkinPath& context) override;
    /// Whether the function is constant and every argument is.
    bool is_constant() override;
    /// True.
    bool is_foldable() override { return true; }

    /// Writes "=", the name quoted, "(", the arguments separated by blanks, ")".
    void write_text(TStream& stream) const override;
    /// Reads "=", the name, "(", atoms up to ")"; ":" or "{" among them is a stream error.
    void read_text(TStream& stream) override;
    /// u8 0, the name, the argument count and each argument as a shared reference.
    void store(BStream& stream) const override;
    /// Reads what `store` wrote.
    void load(BStream& stream) override;

private:
    StrCache m_name;
    std::vector<SharedPtr<ValueAtom>> m_arguments;
};

}

KQ_TYPE_NAME(kq::FuncAtom, "class kq::FuncAtom");
