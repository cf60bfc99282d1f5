#include "engine/base/class_desc.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "engine/base/string_stream.h"
#include "rtti_test_types.h"

namespace kq::test {

/// Registered first as abstract, then asked for as concrete.
class ClashA
{
public:
    virtual ~ClashA() = default;
};

/// Registered first as concrete, then asked for as abstract.
class ClashB
{
public:
    virtual ~ClashB() = default;
};

/// Registered with a base that is never registered.
class Orphan
{
public:
    virtual ~Orphan() = default;
};

/// A class whose second base does not start where the class does.
class SecondBase : public Orphan, public Widget
{
};

}

KQ_TYPE_NAME(kq::test::SecondBase, "class kq::test::SecondBase");
KQ_TYPE_NAME(kq::test::ClashA, "class kq::test::ClashA");
KQ_TYPE_NAME(kq::test::ClashB, "class kq::test::ClashB");
KQ_TYPE_NAME(kq::test::Orphan, "class kq::test::Orphan");

namespace kq::rtti {
namespace {

using test::Button;
using test::Circle;
using test::Shape;
using test::Widget;

class ClassDescTest : public testing::Test
{
protected:
    void SetUp() override { test::register_test_shapes(); }
};

TEST_F(ClassDescTest, IsTypeFollowsNamedBases)
{
    struct Case
    {
        const ClassBase& descriptor;
        StrCache name;
        bool expected;
    };
    const Case cases[] = {
        {ClassDesc<Button>::instance(), type_name<Widget>(), true},
        {ClassDesc<Button>::instance(), type_name<Button>(), true},
        {ClassDesc<Widget>::instance(), type_name<Button>(), false},
        {ClassDesc<Circle>::instance(), type_name<Shape>(), true},
        {ClassDesc<Button>::instance(), type_name<Shape>(), false},
        {ClassDesc<RefCounter>::instance(), type_name<RefCounter>(), true},
        {ClassDesc<RefCounter>::instance(), type_name<int>(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.descriptor.name().c_str()) + " / " + c.name.c_str());
        EXPECT_EQ(c.descriptor.is_type(c.name), c.expected);
    }
}

TEST_F(ClassDescTest, CastFollowsNamedBases)
{
    Button button;
    const ClassBase& descriptor = ClassDesc<Button>::instance();
    EXPECT_EQ(descriptor.cast(&button, type_name<Widget>()), &button);
    EXPECT_EQ(descriptor.cast(&button, type_name<Button>()), &button);
    EXPECT_EQ(descriptor.cast(&button, type_name<Shape>()), nullptr);
    EXPECT_EQ(descriptor.cast(nullptr, type_name<Button>()), nullptr);
}

// A cast through registered bases keeps the address, which is wrong for a base that lies
// further in: registering one is a programming error caught at once.
TEST(ClassDescDeathTest, ABaseThatDoesNotStartTheClassIsRefused)
{
    EXPECT_EQ((base_offset<Button, Widget>()), 0);
    EXPECT_NE((base_offset<test::SecondBase, Widget>()), 0);
    EXPECT_DEATH(ClassDesc<test::SecondBase>::instance().add_base<Widget>(),
                 "Assertion failed: .*base_offset<T, Base>\\(\\) == 0");
}

TEST_F(ClassDescTest, AnUnregisteredBaseFailsOnlyWhenWalked)
{
    ClassBase& orphan = ClassDesc<test::Orphan>::instance();
    orphan.add_base(StrCache("class kq::test::NeverRegisteredBase"));
    EXPECT_TRUE(orphan.is_type(type_name<test::Orphan>()));
    try {
        orphan.is_type(type_name<Shape>());
        FAIL();
    } catch (const RTTIException& e) {
        EXPECT_STREQ(e.what(),
                     "kq.rtti: [class kq::test::NeverRegisteredBase] cannot get link to this class or type is not class.");
    }
}

TEST_F(ClassDescTest, InstanceIsGetOrCreateAndRefusesAnotherKind)
{
    EXPECT_EQ(&ClassDesc<Shape>::instance(), &ClassDesc<Shape>::instance());

    AbstractClassDesc<test::ClashA>& abstract = AbstractClassDesc<test::ClashA>::instance();
    ClassDesc<test::ClashB>& concrete = ClassDesc<test::ClashB>::instance();
    struct Case
    {
        std::function<void()> ask;
        const char* text;
    };
    const Case cases[] = {
        {[] { ClassDesc<test::ClashA>::instance(); }, "kq.rtti: [class kq::test::ClashA] type redifinition"},
        {[] { AbstractClassDesc<test::ClashB>::instance(); }, "kq.rtti: [class kq::test::ClashB] type redifinition."},
    };
    for (const Case& c : cases) {
        try {
            c.ask();
            ADD_FAILURE() << c.text;
        } catch (const RTTIException& e) {
            EXPECT_STREQ(e.what(), c.text);
        }
    }
    EXPECT_EQ(TypeRegistry::find_class(type_name<test::ClashA>()), &abstract);
    EXPECT_EQ(TypeRegistry::find_class(type_name<test::ClashB>()), &concrete);
}

TEST_F(ClassDescTest, ClassesWithoutAStreamFormRefuseIt)
{
    const TypeDesc& widget = ClassDesc<Widget>::instance();
    Widget object;
    StringBuffer text_buffer;
    TStream text(text_buffer);
    StringBuffer binary_buffer;
    BStream binary(binary_buffer);
    const std::string stored = "kq.core: class kq::test::Widget type can not be stored to stream";
    const std::string loaded = "kq.core: class kq::test::Widget type can not be loaded from stream";
    struct Case
    {
        std::function<void()> call;
        const std::string& text;
    };
    const Case cases[] = {
        {[&] { widget.store_text(text, &object); }, stored},
        {[&] { widget.store_binary(binary, &object); }, stored},
        {[&] { widget.load_text(text, &object); }, loaded},
        {[&] { widget.load_binary(binary, &object); }, loaded},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.text;
        } catch (const CoreException& e) {
            EXPECT_EQ(e.what(), c.text);
        }
    }
    EXPECT_TRUE(text_buffer.str().empty());
    EXPECT_TRUE(binary_buffer.str().empty());
}

TEST_F(ClassDescTest, AbstractClassesRefuseEveryValueOperation)
{
    const TypeDesc& abstract = AbstractClassDesc<test::Abstract>::instance();
    StringBuffer buffer;
    TStream text(buffer);
    BStream binary(buffer);
    char memory[16];
    const std::function<void()> calls[] = {
        [&] { abstract.construct(memory); },
        [&] { abstract.destroy(memory); },
        [&] { abstract.copy(memory, memory); },
        [&] { abstract.size(); },
        [&] { abstract.store_text(text, memory); },
        [&] { abstract.store_binary(binary, memory); },
        [&] { abstract.load_text(text, memory); },
        [&] { abstract.load_binary(binary, memory); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE();
        } catch (const RTTIException& e) {
            EXPECT_STREQ(e.what(), "kq.rtti: [class kq::test::Abstract] is abstract type");
        }
    }
}

TEST_F(ClassDescTest, ValueOperationsUseTheClassOwnMembers)
{
    const TypeDesc& shape = ClassDesc<Shape>::instance();
    EXPECT_EQ(shape.construct(nullptr), nullptr);
    Shape source(12);
    EXPECT_EQ(shape.copy(&source, nullptr), nullptr);
    EXPECT_EQ(shape.size(), sizeof(Shape));

    alignas(Shape) unsigned char memory[sizeof(Shape)];
    auto* copy = static_cast<Shape*>(shape.copy(&source, memory));
    EXPECT_EQ(copy->m_size, 12);
    shape.destroy(copy);

    StringStream out;
    shape.store_text(out, &source);
    StringStream in(out.str());
    Shape read;
    shape.load_text(in, &read);
    EXPECT_EQ(read.m_size, 12);
}

}
}
