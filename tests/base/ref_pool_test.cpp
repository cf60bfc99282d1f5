#include "engine/base/ref_pool.h"

#include "engine/base/intrusive.h"
#include "engine/base/ref_counter.h"

#include <boost/smart_ptr/intrusive_ptr.hpp>
#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(RefPool, EveryBlockHoldsALinkOnThePool)
{
    RefPool& pool = RefPool::instance();
    const std::int32_t links = pool.links();
    EXPECT_GE(links, 1);  // the static link
    RefCounter* a = RefCounter::allocate();
    RefCounter* b = RefCounter::allocate();
    EXPECT_EQ(pool.links(), links + 2);
    RefCounter::link(a);
    RefCounter::link(b);
    RefCounter::release(a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(pool.links(), links + 1);
    RefCounter::release(b);
    EXPECT_EQ(pool.links(), links);
}

TEST(RefPool, ReturnedBlocksAreReusedZeroed)
{
    RefCounter* block = RefCounter::allocate();
    RefCounter::link(block);
    block->m_use_count = 7;
    RefCounter* const address = block;
    RefCounter::release(block);

    RefCounter* again = RefCounter::allocate();
    EXPECT_EQ(again, address);
    EXPECT_EQ(again->m_block_count, 0);
    EXPECT_EQ(again->m_use_count, 0u);
    EXPECT_EQ(again->m_deleter, nullptr);
    EXPECT_EQ(again->m_pointer, nullptr);
    RefCounter::link(again);
    RefCounter::release(again);
}

TEST(RefPool, ReleasingANullSlotDoesNothing)
{
    RefCounter* slot = nullptr;
    RefCounter::release(slot);
    EXPECT_EQ(slot, nullptr);
}

struct Counted : IntrusivePolymorph {
    explicit Counted(bool* dead) : m_dead(dead) {}
    ~Counted() override { *m_dead = true; }
    bool* m_dead;
};

TEST(Intrusive, DeletesItselfWithItsLastLink)
{
    bool dead = false;
    Counted* object = new Counted(&dead);
    {
        const boost::intrusive_ptr<Counted> first(object);
        const boost::intrusive_ptr<Counted> second(first);
        EXPECT_EQ(object->links(), 2);
        bool copy_dead = false;
        Counted copy(*object);
        copy.m_dead = &copy_dead;
        EXPECT_EQ(copy.links(), 0);  // a copy is a new object
    }
    EXPECT_TRUE(dead);
}

}
}
