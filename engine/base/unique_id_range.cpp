#include "engine/base/unique_id_range.h"

#include "engine/base/exception.h"

namespace kq {

std::uintptr_t UniqueIdRange::take()
{
    if (m_next >= m_end)
        KQ_THROW(CoreException, "Unique adress buffer overflow");
    return m_next++;
}

}
