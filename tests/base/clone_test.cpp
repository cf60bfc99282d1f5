#include "engine/base/clone.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/base/class_desc.h"
#include "engine/base/create.h"
#include "rtti_test_types.h"

namespace kq::test {

/// A leaf value.
struct Leaf
{
    Leaf() = default;
    Leaf(const Leaf& other) : m_value(other.m_value) {}
    virtual ~Leaf() = default;
    int m_value = 0;
};

/// Two members that may refer to one leaf; the copy clones both within one pass.
struct Pair
{
    Pair() = default;
    Pair(const Pair& other) : m_a(rtti::clone(other.m_a)), m_b(rtti::clone(other.m_b)) {}
    virtual ~Pair()
    {
        delete m_a;
        if (m_b != m_a)
            delete m_b;
    }
    Leaf* m_a = nullptr;
    Leaf* m_b = nullptr;
};

struct Parent;

/// Refers back to the parent that owns it.
struct Child
{
    Child() = default;
    Child(const Child& other) : m_parent(rtti::clone(other.m_parent)) {}
    virtual ~Child() = default;
    Parent* m_parent = nullptr;
};

struct Parent
{
    Parent() = default;
    Parent(const Parent& other) : m_child(rtti::clone(other.m_child)) {}
    virtual ~Parent() { delete m_child; }
    Child* m_child = nullptr;
};

/// Its copy or its creation fails on request.
struct Faulty
{
    Faulty()
    {
        if (fail_next)
            throw std::runtime_error("refused");
    }
    Faulty(const Faulty&)
    {
        if (fail_next)
            throw std::runtime_error("refused");
    }
    virtual ~Faulty() = default;
    static inline bool fail_next = false;
};

/// Never registered.
struct Stranger
{
    virtual ~Stranger() = default;
};

}

KQ_TYPE_NAME(kq::test::Leaf, "struct kq::test::Leaf");
KQ_TYPE_NAME(kq::test::Pair, "struct kq::test::Pair");
KQ_TYPE_NAME(kq::test::Child, "struct kq::test::Child");
KQ_TYPE_NAME(kq::test::Parent, "struct kq::test::Parent");
KQ_TYPE_NAME(kq::test::Faulty, "struct kq::test::Faulty");

namespace kq::rtti {
namespace {

using namespace test;

class CloneTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        register_test_shapes();
        ClassDesc<Leaf>::instance();
        ClassDesc<Pair>::instance();
        ClassDesc<Child>::instance();
        ClassDesc<Parent>::instance();
        ClassDesc<Faulty>::instance();
    }
    void TearDown() override { Faulty::fail_next = false; }
};

TEST_F(CloneTest, SharedMembersAreCopiedOncePerPass)
{
    struct Case
    {
        bool shared;
    };
    for (const Case c : {Case{true}, Case{false}}) {
        Pair source;
        source.m_a = new Leaf;
        source.m_a->m_value = 4;
        source.m_b = c.shared ? source.m_a : new Leaf;
        Pair* copy = clone(&source);
        EXPECT_NE(copy->m_a, source.m_a);
        EXPECT_EQ(copy->m_a->m_value, 4);
        EXPECT_EQ(copy->m_a == copy->m_b, c.shared);
        delete copy;
    }
}

TEST_F(CloneTest, ABackReferenceLeadsToTheCopy)
{
    Parent source;
    source.m_child = new Child;
    source.m_child->m_parent = &source;
    Parent* copy = clone(&source);
    ASSERT_NE(copy->m_child, source.m_child);
    EXPECT_EQ(copy->m_child->m_parent, copy);
    delete copy;
}

// Outside a pass nothing is remembered: two clones of one object are two copies.
void expect_independent_clones()
{
    Leaf source;
    Leaf* first = clone(&source);
    Leaf* second = clone(&source);
    EXPECT_NE(first, second);
    delete first;
    delete second;
}

TEST_F(CloneTest, SeparateClonesAreIndependent)
{
    expect_independent_clones();
    EXPECT_EQ(clone<Leaf>(nullptr), nullptr);
}

TEST_F(CloneTest, AResetObjectClonesToNullUntilThePassEnds)
{
    Leaf source;
    clone_pass_begin();
    clone_map_reset(&source);
    EXPECT_EQ(clone(&source), nullptr);
    EXPECT_EQ(clone(&source), nullptr);
    clone_pass_end();
    Leaf* copy = clone(&source);
    EXPECT_NE(copy, nullptr);
    delete copy;
}

TEST_F(CloneTest, AnEnteredCopyIsUsedWithinThePass)
{
    Leaf source;
    Leaf made;
    {
        ClonePass pass;
        clone_map_set(&source, &made);
        EXPECT_EQ(clone(&source), &made);
    }
    Leaf* copy = clone(&source);
    EXPECT_NE(copy, &made);
    delete copy;
}

TEST_F(CloneTest, AFailedCopyLeavesNoEntry)
{
    Faulty source;
    ClonePass pass;
    Faulty::fail_next = true;
    EXPECT_THROW(clone(&source), std::runtime_error);
    Faulty::fail_next = false;
    Faulty* copy = clone(&source);
    EXPECT_NE(copy, nullptr);
    delete copy;
}

TEST_F(CloneTest, AnUnregisteredClassCannotBeCloned)
{
    Stranger stranger;
    try {
        clone(&stranger);
        FAIL();
    } catch (const RTTIException& e) {
        EXPECT_TRUE(e.message().ends_with("] type descriptor not found, unable to clone.")) << e.message();
    }
    // No pass was left open.
    expect_independent_clones();
}

}
}
