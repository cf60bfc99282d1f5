#pragma once

#include "engine/res/skin_io.h"
#include "engine/res/skin_path.h"

namespace kq {

/// A skin reader that remembers the path it was read from, so that it can read further keys
/// relative to it later. Overrides store the path through this class, then read their keys.
class AdvSkinIO : public SkinIO
{
public:
    /// Remembers the path.
    void read_skin(const SkinPath& path) override;

    /// The path the object was read from (empty before).
    const SkinPath& skin_path() const { return m_skin_path; }

private:
    SkinPath m_skin_path;
};

}
