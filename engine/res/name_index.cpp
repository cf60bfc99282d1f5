#include "engine/res/name_index.h"

#include <algorithm>

namespace kq {

void NameIndex::clear()
{
    m_slots = {};
    m_count = 0;
}

void NameIndex::add(StrCache name, std::uint32_t position)
{
    if (2 * (m_count + 1) > m_slots.size())
        grow();
    Slot& slot = m_slots[slot_of(name.word())];
    if (slot.word != 0)
        return;
    slot = Slot{name.word(), position};
    ++m_count;
}

std::uint32_t NameIndex::find(StrCache name) const
{
    if (m_slots.empty())
        return none;
    const Slot& slot = m_slots[slot_of(name.word())];
    return slot.word == name.word() ? slot.position : none;
}

// The slot holding the word, or the empty slot where it would go.
std::size_t NameIndex::slot_of(std::uintptr_t word) const
{
    const std::size_t mask = m_slots.size() - 1;
    const std::uint64_t mixed = static_cast<std::uint64_t>(word) * 0x9E3779B97F4A7C15ull;
    for (std::size_t index = static_cast<std::size_t>(mixed >> 32) & mask;; index = (index + 1) & mask) {
        if (m_slots[index].word == word || m_slots[index].word == 0)
            return index;
    }
}

void NameIndex::grow()
{
    std::vector<Slot> old(std::max<std::size_t>(32, 2 * m_slots.size()));
    old.swap(m_slots);
    for (const Slot& slot : old) {
        if (slot.word != 0)
            m_slots[slot_of(slot.word)] = slot;
    }
}

}
