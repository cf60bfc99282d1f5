#include "engine/base/shared_object.h"

namespace kq {

SharedObject::~SharedObject()
{
    // However the object dies, its block must not keep pointing at it.
    if (m_counter && m_counter->m_pointer == this) {
        m_counter->m_pointer = nullptr;
        m_counter->m_deleter = nullptr;
    }
    RefCounter::release(m_counter);
}

RefCounter* SharedObject::counter()
{
    if (!m_counter) {
        m_counter = RefCounter::allocate();
        RefCounter::link(m_counter);
    }
    if (m_counter)
        m_counter->own_if_empty(this);
    return m_counter;
}

void SharedObject::replace_counter(RefCounter* block)
{
    if (block == m_counter)
        return;
    RefCounter::release(m_counter);
    m_counter = block;
    RefCounter::link(m_counter);
}

}
