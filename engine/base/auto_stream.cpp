#include "engine/base/auto_stream.h"

namespace kq {

std::int32_t AutoStream::find_id(const void* object) const
{
    index_new_ids();
    return m_ids.find(object);
}

void AutoStream::index_new_ids() const
{
    for (; m_indexed < m_objects.size(); ++m_indexed)
        m_ids.add(m_objects[m_indexed], static_cast<std::int32_t>(m_indexed));
}

void AutoStream::reset()
{
    m_objects.clear();
    m_ids.clear();
    m_indexed = 0;
}

}
