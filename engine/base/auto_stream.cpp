#include "engine/base/auto_stream.h"

namespace kq {

std::int32_t AutoStream::find_id(const void* object) const
{
    index_new_ids();
    const auto found = m_ids.find(object);
    return found == m_ids.end() ? -1 : found->second;
}

void AutoStream::index_new_ids() const
{
    for (; m_indexed < m_objects.size(); ++m_indexed) {
        if (m_objects[m_indexed])
            m_ids.insert_or_assign(m_objects[m_indexed], static_cast<std::int32_t>(m_indexed));
    }
}

void* AutoStream::find_object(std::int32_t id) const
{
    const auto index = static_cast<std::size_t>(static_cast<std::uint32_t>(id));
    return index < m_objects.size() ? m_objects[index] : nullptr;
}

void AutoStream::bind_object(void* object, std::int32_t id)
{
    const auto index = static_cast<std::size_t>(static_cast<std::uint32_t>(id));
    m_objects.at(index) = object;
    if (index < m_indexed && object)
        m_ids.insert_or_assign(object, id);
}

std::int32_t AutoStream::new_id()
{
    m_objects.push_back(nullptr);
    return static_cast<std::int32_t>(m_objects.size() - 1);
}

void AutoStream::reset()
{
    m_objects.clear();
    m_ids.clear();
    m_indexed = 0;
}

}
