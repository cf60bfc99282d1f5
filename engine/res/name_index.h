#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/base/str_cache.h"

namespace kq {

/// Where the first entry of each name is in a list of named entries: open addressing in one
/// table at most half full, so that a look-up is one probe and adding allocates nothing but
/// the table's growth.
class NameIndex
{
public:
    /// No position: the name is not indexed.
    static constexpr std::uint32_t none = 0xFFFFFFFF;

    /// Whether nothing is indexed.
    bool empty() const { return m_count == 0; }
    /// Forgets every name and frees the table.
    void clear();
    /// Records the position of the name unless the name has one already.
    void add(StrCache name, std::uint32_t position);
    /// The position recorded for the name, or `none`.
    std::uint32_t find(StrCache name) const;

private:
    struct Slot
    {
        std::uintptr_t word = 0;  ///< 0: empty (no interned word is 0)
        std::uint32_t position = none;
    };

    std::size_t slot_of(std::uintptr_t word) const;
    void grow();

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};

}
