#include "engine/base/shared_object.h"

#include "engine/base/bstream.h"

namespace kq {

void SharedObject::store(BStream& stream) const
{
    stream.write_ref(const_cast<SharedObject*>(this)->counter());
}

void SharedObject::load(BStream& stream)
{
    RefCounter* block = stream.read_counter_ref();
    if (!block || (block->m_pointer && block->m_pointer != this))
        stream.error("count block shared by two objects.");
    replace_counter(block);
}

SharedObject::~SharedObject()
{
    leave_counter();
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
    leave_counter();
    m_counter = block;
    RefCounter::link(m_counter);
}

void SharedObject::leave_counter()
{
    // However the object leaves its block (dying, or moving to a block read from a stream),
    // the block must not keep pointing at it: weak handles on it then yield null, and no
    // strong handle left on it can delete the object a second time.
    if (m_counter && m_counter->m_pointer == this) {
        m_counter->m_pointer = nullptr;
        m_counter->m_deleter = nullptr;
    }
    RefCounter::release(m_counter);
}

}
