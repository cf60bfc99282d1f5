#include "engine/base/id_index.h"

#include <algorithm>

namespace kq {

std::int32_t IdIndex::find(const void* key) const
{
    if (m_slots.empty() || !key)
        return -1;
    return m_slots[slot_of(key)].id;
}

// The slot holding the key, or the empty slot where it would go.
std::size_t IdIndex::slot_of(const void* key) const
{
    const std::size_t mask = m_slots.size() - 1;
    const std::uint64_t mixed = reinterpret_cast<std::uintptr_t>(key) * 0x9E3779B97F4A7C15ull;
    for (std::size_t slot = static_cast<std::size_t>(mixed >> 32) & mask;; slot = (slot + 1) & mask) {
        if (m_slots[slot].key == key || !m_slots[slot].key)
            return slot;
    }
}

void IdIndex::add(const void* key, std::int32_t id)
{
    if (!key)
        return;
    if (2 * (m_count + 1) > m_slots.size()) {
        std::vector<Slot> old(std::max<std::size_t>(64, 2 * m_slots.size()));
        old.swap(m_slots);
        for (const Slot& entry : old) {
            if (entry.key)
                m_slots[slot_of(entry.key)] = entry;
        }
    }
    Slot& slot = m_slots[slot_of(key)];
    if (!slot.key)
        ++m_count;
    slot = Slot{key, id};
}

void IdIndex::clear()
{
    m_slots.clear();
    m_count = 0;
}

}
