#include "engine/base/shared_ptr.h"

#include "engine/base/ref_pool.h"
#include "engine/base/weak_ptr.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

// Counts destructions, to show that each object dies exactly once.
struct Tracked {
    explicit Tracked(int* deaths) : m_deaths(deaths) {}
    virtual ~Tracked() { ++*m_deaths; }
    int* m_deaths;
};

struct TrackedObject : SharedObject {
    explicit TrackedObject(int* deaths) : m_deaths(deaths) {}
    ~TrackedObject() override { ++*m_deaths; }
    int* m_deaths;
};

struct Base {
    virtual ~Base() = default;
    int m_base = 1;
};
struct Other {
    virtual ~Other() = default;
    int m_other = 2;
};
struct Derived : Other, Base {
    explicit Derived(int* deaths) : m_deaths(deaths) {}
    ~Derived() override { ++*m_deaths; }
    int* m_deaths;
};

std::int32_t pool_links()
{
    return RefPool::instance().links();
}

TEST(SharedPtr, RawPointerDiesOnceWithItsLastHandle)
{
    int deaths = 0;
    const std::int32_t links = pool_links();
    {
        SharedPtr<Tracked> first(new Tracked(&deaths));
        RefCounter* block = first.counter();
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->m_block_count, 1);
        EXPECT_EQ(block->m_use_count, 1u);
        EXPECT_EQ(pool_links(), links + 1);
        {
            const SharedPtr<Tracked> second(first);
            EXPECT_EQ(block->m_block_count, 2);
            EXPECT_EQ(block->m_use_count, 2u);
        }
        EXPECT_EQ(deaths, 0);
        first.reset();
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(first.get(), nullptr);
        EXPECT_EQ(first.counter(), nullptr);
    }
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(pool_links(), links);  // the block went back
}

TEST(SharedPtr, NullMakesAnEmptyHandle)
{
    const SharedPtr<Tracked> empty(nullptr);
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.counter(), nullptr);
    SharedPtr<Tracked> other;
    other = empty;
    EXPECT_EQ(other.get(), nullptr);
}

TEST(SharedPtr, ConvertingCopySharesTheBlockAndDeletesTheWholeObject)
{
    int deaths = 0;
    SharedPtr<Derived> derived(new Derived(&deaths));
    {
        const SharedPtr<Base> base(derived);
        EXPECT_EQ(base.get(), static_cast<Base*>(derived.get()));
        EXPECT_EQ(base.counter(), derived.counter());
        EXPECT_EQ(base.counter()->m_use_count, 2u);
        derived.reset();
        EXPECT_EQ(deaths, 0);
        EXPECT_EQ(base->m_base, 1);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(SharedPtr, AssigningAHandleOfTheSameBlockChangesNothing)
{
    int deaths = 0;
    Tracked* object = new Tracked(&deaths);
    Tracked stranger(&deaths);
    SharedPtr<Tracked> handle(object);
    const SharedPtr<Tracked> same_block(&stranger, handle.counter());
    EXPECT_EQ(handle.counter()->m_use_count, 2u);

    handle = same_block;
    EXPECT_EQ(handle.get(), object);  // not even the object pointer is taken
    EXPECT_EQ(handle.counter()->m_use_count, 2u);
    const SharedPtr<Tracked>& itself = handle;
    handle = itself;
    EXPECT_EQ(handle.counter()->m_use_count, 2u);
    EXPECT_EQ(deaths, 0);
}

TEST(SharedPtr, AssigningAnotherBlockReleasesTheOldObject)
{
    int deaths = 0;
    SharedPtr<Tracked> a(new Tracked(&deaths));
    const SharedPtr<Tracked> b(new Tracked(&deaths));
    a = b;
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(b.counter()->m_use_count, 2u);
    EXPECT_EQ(b.counter()->m_block_count, 2);
}

TEST(SharedPtr, SharedObjectHandlesShareTheObjectsOwnBlock)
{
    int deaths = 0;
    auto* object = new TrackedObject(&deaths);
    const SharedPtr<TrackedObject> first(object);
    const SharedPtr<TrackedObject> second(object);  // from the raw pointer again
    EXPECT_EQ(first.counter(), second.counter());
    EXPECT_EQ(first.counter(), object->counter());
    EXPECT_EQ(first.counter()->m_use_count, 2u);
    EXPECT_EQ(first.counter()->m_block_count, 3);  // two handles and the object's own link
}

TEST(SharedPtr, AdoptingAnEmptyBlockMakesItOwnTheObject)
{
    int deaths = 0;
    const std::int32_t links = pool_links();
    {
        RefCounter* block = RefCounter::allocate();
        const SharedPtr<Tracked> handle(new Tracked(&deaths), block);
        EXPECT_NE(block->m_pointer, nullptr);
        EXPECT_EQ(block->m_block_count, 1);
        EXPECT_EQ(block->m_use_count, 1u);
    }
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(pool_links(), links);
}

TEST(WeakPtr, OutlivesItsObjectAndThenYieldsNull)
{
    int deaths = 0;
    const std::int32_t links = pool_links();
    {
        WeakPtr<TrackedObject> weak;
        {
            auto* object = new TrackedObject(&deaths);
            SharedPtr<TrackedObject> a(object);
            const SharedPtr<TrackedObject> b(a);
            weak = WeakPtr<TrackedObject>(object);
            RefCounter* block = a.counter();
            EXPECT_EQ(weak.counter(), block);
            EXPECT_EQ(block->m_use_count, 2u);
            EXPECT_EQ(block->m_block_count, 4);
            EXPECT_EQ(weak.get(), object);
            a.reset();
            EXPECT_EQ(weak.get(), object);
        }
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(weak.get(), nullptr);
        ASSERT_NE(weak.counter(), nullptr);
        EXPECT_EQ(weak.counter()->m_block_count, 1);  // the weak handle keeps the block alone
        EXPECT_EQ(weak.counter()->m_pointer, nullptr);

        const WeakPtr<TrackedObject> copy(weak);
        EXPECT_EQ(copy.get(), nullptr);
        EXPECT_EQ(copy.counter()->m_block_count, 2);
    }
    EXPECT_EQ(pool_links(), links);
}

TEST(WeakPtr, StrongHandleMadeLaterSharesTheBlock)
{
    int deaths = 0;
    auto* object = new TrackedObject(&deaths);
    const WeakPtr<TrackedObject> weak(object);
    RefCounter* block = weak.counter();
    EXPECT_EQ(block->m_use_count, 0u);
    EXPECT_EQ(block->m_block_count, 2);
    {
        const SharedPtr<TrackedObject> strong(object);
        EXPECT_EQ(strong.counter(), block);
        EXPECT_EQ(block->m_use_count, 1u);
    }
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(weak.get(), nullptr);
}

TEST(WeakPtr, ObjectDestroyedWithoutStrongHandlesYieldsNull)
{
    int deaths = 0;
    WeakPtr<TrackedObject> weak;
    {
        TrackedObject local(&deaths);
        weak = WeakPtr<TrackedObject>(&local);
        EXPECT_EQ(weak.get(), &local);
    }
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(weak.get(), nullptr);
}

TEST(WeakPtr, AssignmentMovesBetweenBlocks)
{
    int deaths = 0;
    TrackedObject a(&deaths);
    TrackedObject b(&deaths);
    WeakPtr<TrackedObject> weak(&a);
    const WeakPtr<TrackedObject> other(&b);
    EXPECT_EQ(a.counter()->m_block_count, 2);
    weak = other;
    EXPECT_EQ(weak.get(), &b);
    EXPECT_EQ(a.counter()->m_block_count, 1);
    EXPECT_EQ(b.counter()->m_block_count, 3);
    const WeakPtr<TrackedObject>& itself = weak;
    weak = itself;
    EXPECT_EQ(b.counter()->m_block_count, 3);
}

TEST(SharedObject, CopyHasAnIdentityOfItsOwn)
{
    int deaths = 0;
    TrackedObject original(&deaths);
    RefCounter* block = original.counter();
    TrackedObject copy(original);
    EXPECT_NE(copy.counter(), block);
    copy = original;
    EXPECT_NE(copy.counter(), block);
}

TEST(SharedObject, ReplaceCounterMovesTheOwnLinkAndTheOwnership)
{
    int deaths = 0;
    auto* object = new TrackedObject(&deaths);
    SharedPtr<TrackedObject> old_strong(object);
    RefCounter* old_block = object->counter();
    const WeakPtr<TrackedObject> old_weak(object);
    RefCounter* read_block = RefCounter::allocate();
    object->replace_counter(read_block);
    EXPECT_EQ(old_block->m_block_count, 2);  // the old handles only
    EXPECT_EQ(read_block->m_block_count, 1);
    EXPECT_EQ(old_weak.get(), nullptr);  // the old block no longer knows the object

    SharedPtr<TrackedObject> new_strong(object, read_block);
    EXPECT_EQ(object->counter(), read_block);
    EXPECT_EQ(read_block->m_pointer, static_cast<SharedObject*>(object));
    old_strong.reset();
    EXPECT_EQ(deaths, 0);  // only the new block owns it: no second delete
    new_strong.reset();
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(old_weak.get(), nullptr);
}

}
}
