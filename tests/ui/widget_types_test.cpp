// The widgets are made by their registered names, as skin documents name them.
#include <gtest/gtest.h>

#include <memory>

#include "engine/base/create.h"
#include "engine/base/class_desc.h"
#include "engine/ui/control.h"

namespace kq::test {

TEST(WidgetTypes, EachWidgetIsMadeByNameAndKnowsItsBases)
{
    struct Case
    {
        const char* name;
        const char* base;
    };
    const Case cases[] = {
        {"class kq::EditBox", "class kq::Control"}, {"class kq::Slider", "class kq::Control"},
        {"class kq::ShareBox", "class kq::Control"}, {"class kq::ClipBox", "class kq::Control"},
        {"class kq::ListBox", "class kq::ClipBox"},  {"class kq::ListBox", "class kq::Control"},
        {"class kq::DebugDialog", "class kq::Control"}, {"class kq::ConsoleDialog", "class kq::Control"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Control> control(static_cast<Control*>(rtti::create(StrCache(c.name))));
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_TRUE(rtti::TypeRegistry::get_type(StrCache(c.name)).is_type(StrCache(c.base))) << c.name;
    }
}

}
