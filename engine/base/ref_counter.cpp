#include "engine/base/ref_counter.h"

#include "engine/base/ref_pool.h"

namespace kq {

RefCounter* RefCounter::allocate()
{
    return RefPool::instance().take_block();
}

void RefCounter::link(RefCounter* block)
{
    if (block)
        ++block->m_block_count;
}

void RefCounter::release(RefCounter*& slot)
{
    RefCounter* block = slot;
    if (!block)
        return;
    slot = nullptr;
    if (--block->m_block_count < 1)
        RefPool::return_block(block);
}

void RefCounter::drop_use()
{
    if (--m_use_count != 0 || !m_pointer)
        return;
    // Cleared first, so that the dying object (and any weak handle) sees the block as expired.
    void* object = m_pointer;
    const Deleter deleter = m_deleter;
    m_pointer = nullptr;
    m_deleter = nullptr;
    deleter(object);
}

}
