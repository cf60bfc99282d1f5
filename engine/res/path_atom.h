#pragma once

#include "engine/res/skin_path.h"
#include "engine/res/value_atom.h"

namespace kq {

/// Common part of the atoms that name another node by a path, relative to the container of
/// the node being read.
class PathAtom : public ValueAtom
{
public:
    /// The path as written.
    const SkinPath& path() const { return m_path; }

    /// False: a relative path depends on the node being read.
    bool is_constant() override { return false; }
    /// False.
    bool is_foldable() override { return false; }

    /// Writes the marker and the path as one token.
    void write_text(TStream& stream) const override;
    /// Reads the marker and one token as the path.
    void read_text(TStream& stream) override;
    /// u8 0, then the path.
    void store(BStream& stream) const override;
    /// Reads what `store` wrote.
    void load(BStream& stream) override;

protected:
    PathAtom() = default;
    explicit PathAtom(SkinPath path) : m_path(std::move(path)) {}

    /// The path resolved against the container of the context node.
    SkinPath resolved(const SkinPath& context) const;
    /// "*" or "&".
    virtual const char* marker() const = 0;

private:
    SkinPath m_path;
};

}
