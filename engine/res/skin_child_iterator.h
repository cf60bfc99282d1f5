#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/base/str_cache.h"
#include "engine/res/skin_path.h"

namespace kq {

/// A cursor over the children of a skin node, own and inherited, each once; its path is the
/// full path of the current child, ready for a reader.
class SkinChildIterator
{
public:
    /// On the first child of the node at the path; a non-empty id visits only the children
    /// carrying it.
    explicit SkinChildIterator(const SkinPath& path, const std::string& id = std::string());

    /// The current child's name.
    StrCache name() const { return m_names[m_position]; }
    /// Whether every child has been visited (the path is then the parent's).
    bool at_end() const { return m_position >= m_names.size(); }
    /// Whether the node has no children at all.
    bool is_empty() const { return m_names.empty(); }
    /// Moves to the next child.
    void next();
    /// The path of the current child (the parent's at the end).
    const SkinPath& path() const { return m_path; }

private:
    SkinPath m_path;
    std::vector<StrCache> m_names;
    std::size_t m_position = 0;
};

}
