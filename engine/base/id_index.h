#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kq {

/// The ids of keys (addresses, or any word but 0). Open addressing in one table at most half
/// full: a look-up costs one probe of one table however many keys there are, and entering a
/// key allocates nothing but the table's growth.
class IdIndex
{
public:
    /// The id entered for the key, or -1.
    std::int32_t find(const void* key) const;
    /// Enters the key with the id, replacing the id it had; a null key is not entered.
    void add(const void* key, std::int32_t id);
    /// Forgets every key.
    void clear();

private:
    struct Slot
    {
        const void* key = nullptr;
        std::int32_t id = -1;
    };

    std::size_t slot_of(const void* key) const;

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};

}
