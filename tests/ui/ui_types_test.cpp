#include "engine/ui/ui_types.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/base/class_desc.h"
#include "engine/base/create.h"
#include "engine/base/enum_desc.h"
#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/ui/button.h"
#include "engine/ui/control.h"
#include "engine/ui/ui_enums.h"

namespace kq::test {

using testing::HasSubstr;

TEST(UiTypes, EnumerationsReadAndWriteTheirNames)
{
    struct Case
    {
        const char* type;
        const char* name;
        std::int32_t value;
    };
    const Case cases[] = {
        {"enum kq::XSnap", "prev_brother", 3},
        {"enum kq::YSnap", "bottom", 2},
        {"enum kq::SSnap", "relative", 1},
        {"enum kq::ZSnap", "topmost", 3},
        {"enum kq::Control::Transparency", "self", 16},
        {"enum kq::Control::Transparency", "full", 48},
        {"enum kq::ControlList::Formation", "bottom", 3},
        {"enum kq::Slider::Direction", "vertical", 1},
        {"enum kq::Menu::Style", "horizontal", 0},
    };
    for (const Case& c : cases) {
        rtti::EnumBase& descriptor = rtti::TypeRegistry::get_enum(StrCache(c.type));
        EXPECT_EQ(descriptor.value_of(c.name), c.value) << c.type;
        EXPECT_STREQ(descriptor.name_of(c.value).c_str(), c.name) << c.type;
    }

    XSnap snap = XSnap::left;
    StringStream good("prev_brother");
    good >> snap;
    EXPECT_EQ(snap, XSnap::prev_brother);
    StringStream bad("middle");
    try {
        bad >> snap;
        ADD_FAILURE() << "an unknown name was read";
    } catch (const Exception& error) {
        EXPECT_THAT(error.message(), HasSubstr("enum string interpretation [middle] unregistered."));
    }
}

TEST(UiTypes, ControlAndButtonAreCreatedByNameAndNeverStreamed)
{
    std::unique_ptr<Control> control(static_cast<Control*>(rtti::create(StrCache("class kq::Control"))));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->size(), (Vector2<int>{32, 32}));
    EXPECT_TRUE(control->path().empty());

    const rtti::TypeDesc& button = rtti::TypeRegistry::get_type(StrCache("class kq::Button"));
    EXPECT_TRUE(button.is_type(StrCache("class kq::Control")));
    EXPECT_FALSE(rtti::TypeRegistry::get_type(StrCache("class kq::Control")).is_type(StrCache("class kq::Button")));

    StringStream text("");
    try {
        rtti::TypeRegistry::get_type(StrCache("class kq::Control")).store_text(text, control.get());
        ADD_FAILURE() << "a control was stored";
    } catch (const Exception& error) {
        EXPECT_EQ(error.message(), "class kq::Control type can not be stored to stream");
    }
}

TEST(UiTypes, EveryWidgetIsCreatedByNameAsAControl)
{
    for (const char* name : {"class kq::Button", "class kq::CheckBox", "class kq::EditBox", "class kq::Slider",
                             "class kq::ShareBox", "class kq::ClipBox", "class kq::ListBox"}) {
        const rtti::TypeDesc& type = rtti::TypeRegistry::get_type(StrCache(name));
        EXPECT_TRUE(type.is_type(StrCache("class kq::Control"))) << name;
        std::unique_ptr<Control> widget(static_cast<Control*>(rtti::create(StrCache(name))));
        EXPECT_NE(widget, nullptr) << name;
    }
}

}
