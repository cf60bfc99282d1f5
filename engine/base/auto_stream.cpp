#include "engine/base/auto_stream.h"

namespace kq {

std::int32_t AutoStream::find_id(const void* object) const
{
    const auto found = m_ids.find(object);
    return found == m_ids.end() ? -1 : found->second;
}

void* AutoStream::find_object(std::int32_t id) const
{
    const auto found = m_objects.find(id);
    return found == m_objects.end() ? nullptr : found->second;
}

void AutoStream::bind_object(void* object, std::int32_t id)
{
    m_ids[object] = id;
    m_objects[id] = object;
}

void AutoStream::reset()
{
    m_ids.clear();
    m_objects.clear();
    m_next_id = 0;
}

}
