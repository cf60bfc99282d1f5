#include "engine/res/skin_prototypes.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/base/class_desc.h"
#include "engine/base/exception.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"
#include "skin_fixture.h"
#include "test_skin_environment.h"

namespace kq::test {

// Reads its size from skin; counts its skin reads and its live objects.
class Widget : public SkinIO
{
public:
    Widget() { ++s_live; }
    Widget(const Widget& other) : SkinIO(other), m_size(other.m_size) { ++s_live; }
    ~Widget() override { --s_live; }

    void read_skin(const SkinPath& path) override
    {
        ++s_reads;
        read_skin_value(path + "size", &m_size);
    }

    static inline int s_live = 0;
    static inline int s_reads = 0;
    int m_size = 0;
};

class Gadget : public Widget
{
};

// A class that does not read itself from skin.
class Plain
{
public:
    Plain() { ++s_live; }
    Plain(const Plain&) { ++s_live; }
    virtual ~Plain() { --s_live; }

    static inline int s_live = 0;
};

// A resource file that describes a gizmo.
class Gizmo : public Resource, public SkinIO
{
public:
    explicit Gizmo(std::string text = {}) : m_text(std::move(text)) {}

    std::string m_text;
};

}

KQ_TYPE_NAME(kq::test::Widget, "class kq::test::Widget");
KQ_TYPE_NAME(kq::test::Gadget, "class kq::test::Gadget");
KQ_TYPE_NAME(kq::test::Plain, "class kq::test::Plain");
KQ_TYPE_NAME(kq::test::Gizmo, "class kq::test::Gizmo");

namespace kq {
namespace {

using test::Gadget;
using test::Gizmo;
using test::Plain;
using test::Widget;

class SkinPrototypesTest : public test::SkinTest
{
protected:
    SkinPrototypesTest()
    {
        static const bool registered = [] {
            rtti::ClassDesc<Widget>::instance();
            rtti::ClassDesc<Gadget>::instance().add_base<Widget>();
            rtti::ClassDesc<Plain>::instance();
            rtti::ClassDesc<Gizmo>::instance();
            return true;
        }();
        (void)registered;
        write("p.sdt",
              "w \"class kq::test::Widget\" { size 7 }\n"
              "g \"class kq::test::Gadget\" { size 8 }\n"
              "empty \"\"\n"
              "unknown \"class kq::test::Nothing\"\n"
              "plain \"class kq::test::Plain\"\n"
              "bad \"class kq::test::Widget\" { }\n"
              "proto \"class kq::test::Widget\" { size 9 }\n"
              "inline \"class kq::test::Gizmo\"\n"
              "file \"one.giz\"\n"
              "other \"one.txt\"\n"
              "short \"class\"\n");
        write("one.giz", "gizmo");
        write("one.txt", "text");
        start({make_skin_document_task("p.sdt")});
        Res::instance()->add_loader(type_name<Gizmo>(), SharedPtr<ResLoader>(new test::TextLoader<Gizmo>("giz")));
        Res::instance()->add_loader(type_name<Gizmo>(),
                                    SharedPtr<ResLoader>(new test::TextLoader<test::TextResource>("txt")));
        Widget::s_reads = 0;
    }
};

TEST_F(SkinPrototypesTest, CreatesTheNamedClassAndReadsIt)
{
    std::unique_ptr<Widget> widget(create_from_skin<Widget>(SkinPath("w")));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->m_size, 7);
    std::unique_ptr<Widget> gadget(create_from_skin<Widget>(SkinPath("g")));
    EXPECT_NE(dynamic_cast<Gadget*>(gadget.get()), nullptr);
    EXPECT_EQ(create_from_skin<Widget>(SkinPath("empty")), nullptr);
}

TEST_F(SkinPrototypesTest, FailuresFreeWhatWasMade)
{
    const int live = Widget::s_live;
    EXPECT_THROW(create_from_skin<Widget>(SkinPath("unknown")), rtti::RTTIException);
    try {
        create_from_skin<Widget>(SkinPath("plain"));
        FAIL() << "made a plain object";
    } catch (const ServiceException& error) {
        EXPECT_NE(std::string(error.what()).find("[plain]"), std::string::npos) << error.what();
    }
    EXPECT_EQ(Plain::s_live, 0);
    EXPECT_THROW(create_from_skin<Widget>(SkinPath("bad")), ServiceException);
    EXPECT_THROW(create_from_skin<Gadget>(SkinPath("w")), ServiceException);
    EXPECT_THROW(create_from_skin<Widget>(SkinPath("missing")), ServiceException);
    EXPECT_EQ(Widget::s_live, live);
}

TEST_F(SkinPrototypesTest, PrototypesAreBuiltOncePerPathAndMap)
{
    std::unique_ptr<Widget> first(clone_prototype<Widget>(SkinPath("proto")));
    std::unique_ptr<Widget> second(clone_prototype<Widget>(SkinPath("proto")));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(second->m_size, 9);
    EXPECT_EQ(Widget::s_reads, 1);
    // The inline form of a resource is a copy of the same prototype.
    std::unique_ptr<Widget> inline_copy(clone_resource<Widget, Gizmo>(SkinPath("proto")));
    ASSERT_NE(inline_copy, nullptr);
    EXPECT_EQ(inline_copy->m_size, 9);
    EXPECT_EQ(Widget::s_reads, 1);
    std::unique_ptr<Widget> other(clone_from_skin<Widget>(SkinPath("proto")));
    EXPECT_EQ(other->m_size, 9);
    EXPECT_EQ(Widget::s_reads, 2);
    EXPECT_THROW(clone_prototype<Widget>(SkinPath("unknown")), rtti::RTTIException);
    EXPECT_THROW(clone_prototype<Widget>(SkinPath("unknown")), rtti::RTTIException);
}

Gizmo* clone_gizmo(const char* path)
{
    return clone_resource<Gizmo, Gizmo>(SkinPath(path));
}

TEST_F(SkinPrototypesTest, ResourcesAreClonedInlineOrFromTheirFile)
{
    std::unique_ptr<Gizmo> from_file(clone_gizmo("file"));
    ASSERT_NE(from_file, nullptr);
    EXPECT_EQ(from_file->m_text, "gizmo");
    std::unique_ptr<Gizmo> again(clone_gizmo("file"));
    EXPECT_NE(again.get(), from_file.get());
    std::unique_ptr<Gizmo> from_skin(clone_gizmo("inline"));
    EXPECT_NE(from_skin, nullptr);
    EXPECT_EQ(clone_gizmo("other"), nullptr);
    EXPECT_EQ(clone_gizmo("empty"), nullptr);
    EXPECT_THROW(clone_gizmo("short"), ResException);
}

}
}

namespace kq {
namespace {

TEST(SkinPrototypes, AResourceNameWithoutAResourceServiceGivesNothing)
{
    test::TestSkinEnvironment skin(R"(file "gizmo.txt")");
    EXPECT_EQ(clone_gizmo("file"), nullptr);
}

}
}
