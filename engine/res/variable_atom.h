#pragma once

#include "engine/base/type_name.h"
#include "engine/res/path_atom.h"

namespace kq {

/// The value of another node, written *path.
class VariableAtom : public PathAtom
{
public:
    /// The empty path.
    VariableAtom() = default;
    /// A reference to the value of the node at the path.
    explicit VariableAtom(SkinPath path) : PathAtom(std::move(path)) {}

    /// The text of the node at the resolved path; a reference back to a node whose value is
    /// being evaluated throws "cyclic reference to node [<path>]".
    std::string evaluate(const SkinPath& context) override;

private:
    const char* marker() const override { return "*"; }
};

}

KQ_TYPE_NAME(kq::VariableAtom, "class kq::VariableAtom");
