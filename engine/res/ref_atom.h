#pragma once

#include "engine/base/type_name.h"
#include "engine/res/path_atom.h"

namespace kq {

/// The path of another node, written &path.
class RefAtom : public PathAtom
{
public:
    /// The empty path.
    RefAtom() = default;
    /// A reference to the node at the path.
    explicit RefAtom(SkinPath path) : PathAtom(std::move(path)) {}

    /// The resolved path as text.
    std::string evaluate(const SkinPath& context) override;

private:
    const char* marker() const override { return "&"; }
};

}

KQ_TYPE_NAME(kq::RefAtom, "class kq::RefAtom");
