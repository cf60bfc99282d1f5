#include "engine/base/ref_pool.h"

#include "engine/base/ref_counter.h"

#include <boost/smart_ptr/intrusive_ptr.hpp>

#include <new>

namespace kq {

namespace {

constexpr std::size_t first_refill = 16384;

// The default pool outlives its static link while blocks are out, so blocks find it here.
RefPool* g_default_pool = nullptr;

}

RefPool::RefPool() : pool(sizeof(RefCounter), first_refill)
{
}

RefPool::~RefPool()
{
    if (g_default_pool == this)
        g_default_pool = nullptr;
}

RefPool& RefPool::instance()
{
    static const boost::intrusive_ptr<RefPool> s_link(g_default_pool = new RefPool);
    return *g_default_pool;
}

RefCounter* RefPool::take_block()
{
    void* cell = malloc();
    if (!cell)
        return nullptr;
    intrusive_ptr_add_ref(this);
    return new (cell) RefCounter();
}

void RefPool::return_block(RefCounter* block)
{
    RefPool* pool = g_default_pool;
    block->~RefCounter();
    pool->free(block);
    intrusive_ptr_release(pool);
}

}
