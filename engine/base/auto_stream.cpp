#include "engine/base/auto_stream.h"

#include <algorithm>

namespace kq {

std::int32_t AutoStream::find_id(const void* object) const
{
    index_new_ids();
    if (m_ids.empty() || !object)
        return -1;
    return m_ids[slot_of(object)].id;
}

void AutoStream::index_new_ids() const
{
    for (; m_indexed < m_objects.size(); ++m_indexed) {
        if (m_objects[m_indexed])
            index_id(m_objects[m_indexed], static_cast<std::int32_t>(m_indexed));
    }
}

// The slot holding the object, or the empty slot where it would go.
std::size_t AutoStream::slot_of(const void* object) const
{
    const std::size_t mask = m_ids.size() - 1;
    const std::uint64_t mixed = reinterpret_cast<std::uintptr_t>(object) * 0x9E3779B97F4A7C15ull;
    for (std::size_t slot = static_cast<std::size_t>(mixed >> 32) & mask;; slot = (slot + 1) & mask) {
        if (m_ids[slot].object == object || !m_ids[slot].object)
            return slot;
    }
}

void AutoStream::index_id(const void* object, std::int32_t id) const
{
    if (2 * (m_id_count + 1) > m_ids.size()) {
        std::vector<IdSlot> old(std::max<std::size_t>(64, 2 * m_ids.size()));
        old.swap(m_ids);
        for (const IdSlot& entry : old) {
            if (entry.object)
                m_ids[slot_of(entry.object)] = entry;
        }
    }
    IdSlot& slot = m_ids[slot_of(object)];
    if (!slot.object)
        ++m_id_count;
    slot = IdSlot{object, id};
}

void AutoStream::reset()
{
    m_objects.clear();
    m_ids.clear();
    m_id_count = 0;
    m_indexed = 0;
}

}
