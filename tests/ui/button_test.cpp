#include "engine/ui/button.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/ui/check_box.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/help_dialog.h"
#include "engine/ui/message_dialog.h"
#include "tests/ui/ui_fixture.h"

namespace kq::test {
namespace {

using testing::HasSubstr;

class ButtonTest : public UiFixture
{
protected:
    ButtonTest()
        : UiFixture(R"(
            escape : button_defaults { sx 50 sy 20 keys [{ key_escape key_enter }] help "" }
            helpful : button_defaults { x 500 y 400 sx 50 sy 20 help "Press me." }
            unknown : button_defaults { keys [{ key_escape key_middle }] }
            open : button_defaults { keys [{ key_escape ] }
            message : control_defaults {
                x 100 y 100 sx 400 sy 300 exclusive true
                legend : control_defaults {}
                no <button> : button_defaults { keys [{ key_escape }] }
            }
          )")
    {
    }

    /// A button from the node at the path, attached to the root, counting its clicks.
    void make(Button& button, const char* path, int& clicks)
    {
        button.set_up(CIIndependent(SkinPath(path)));
        button.on_click().connect([&clicks] { ++clicks; }, &clicks);
        Control::attach_to_parent(&button, &root());
    }
};

std::string error_of(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

TEST_F(ButtonTest, HotKeysClickTheTopmostButtonWhereverTheMouseIs)
{
    int lower = 0;
    int upper = 0;
    Button first;
    Button second;
    make(first, "escape", lower);
    make(second, "escape", upper);
    ui().on_mouse_move({900, 700});

    ui().on_key(key_escape, state_down);
    ui().on_key(key_escape, state_up);
    ui().on_key(key_enter, state_down);
    EXPECT_EQ(upper, 2) << "attached later, higher on the keyboard stack";
    EXPECT_EQ(lower, 0);

    second.detach();
    ui().on_key(key_escape, state_down);
    EXPECT_EQ(lower, 1);
    ui().on_key(key_space, state_down);
    EXPECT_EQ(lower, 1);
    first.detach();
    EXPECT_EQ(ui().key_stack().size(), 1u) << "only the root is left";
}

TEST_F(ButtonTest, AnExclusiveDialogStopsHotKeysBeneathItButNotItsOwn)
{
    int beneath = 0;
    Button button;
    make(button, "escape", beneath);
    MessageDialog dialog;
    dialog.set_up(CIIndependent(SkinPath("message")));
    Control::attach_to_parent(&dialog, &root());

    ui().on_key(key_escape, state_down);
    EXPECT_EQ(beneath, 0);
    EXPECT_TRUE(dialog.is_attached()) << "the dialog's button closes it a step later";
    Mainframe::step();
    EXPECT_FALSE(dialog.is_attached());
    EXPECT_EQ(dialog.result(), StrCache("no"));
    ui().on_key(key_escape, state_down);
    EXPECT_EQ(beneath, 1);
    button.detach();
}

TEST_F(ButtonTest, KeysReadAsASetOfKeyNames)
{
    Button button;
    button.set_up(CIIndependent(SkinPath("escape")));
    EXPECT_EQ(button.keys(), (std::set<Key>{key_escape, key_enter}));
    EXPECT_THAT(error_of([&] { button.set_up(CIIndependent(SkinPath("unknown"))); }),
                HasSubstr("enum string interpretation [key_middle] unregistered."));
    EXPECT_NE(error_of([&] { button.set_up(CIIndependent(SkinPath("open"))); }), "no error");
}

TEST_F(ButtonTest, ARightPressShowsTheHelpByTheMouseUntilARelease)
{
    int clicks = 0;
    Button plain;
    make(plain, "escape", clicks);
    ui().on_mouse_move({10, 10});
    press(key_mouse_right);
    EXPECT_EQ(root().children().size(), 1u) << "no help, no dialog";
    release(key_mouse_right);

    Button button;
    make(button, "helpful", clicks);
    std::string shown;
    Vector2<int> at;
    later(20, [&] {
        if (auto* help = dynamic_cast<HelpDialog*>(ui().focused())) {
            shown = help->text().text();
            at = help->position();
        }
        release(key_mouse_right);
    });
    ui().on_mouse_move({510, 410});
    press(key_mouse_right);
    EXPECT_EQ(shown, "Help: Press me.");
    EXPECT_EQ(at, (Vector2<int>{490, 390}));
    EXPECT_EQ(root().children().size(), 2u) << "the help dialog is gone again";
    EXPECT_EQ(clicks, 0);

    // A button out of the tree shows nothing.
    button.detach();
    button.show_help();
    plain.detach();
}

TEST_F(ButtonTest, ACheckBoxTogglesAStepAfterEachClick)
{
    CheckBox box;
    place(box, {0, 0}, {20, 20});
    Control::attach_to_parent(&box, &root());
    std::vector<bool> seen;
    box.on_change().connect([&] { seen.push_back(box.is_checked()); }, &seen);

    click_at({5, 5});
    EXPECT_TRUE(seen.empty()) << "not inside the click";
    Mainframe::step();
    click_at({5, 5});
    Mainframe::step();
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    EXPECT_FALSE(box.is_checked());

    box.set_checked(true);
    EXPECT_EQ(seen.size(), 2u) << "setting from code reports nothing";
    std::uint32_t mask = 0;
    std::uint32_t flags = 0;
    box.get_view_flags(nullptr, mask, flags);
    EXPECT_EQ(mask & VF_CHECKED, VF_CHECKED);
    EXPECT_EQ(flags & VF_CHECKED, VF_CHECKED);
    box.set_checked(false);
    box.get_view_flags(nullptr, mask, flags);
    EXPECT_EQ(mask & VF_CHECKED, VF_CHECKED);
    EXPECT_EQ(flags & VF_CHECKED, 0u);
    box.detach();
}

}
}
