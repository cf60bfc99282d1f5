#include "engine/ui/dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/sign_deffered_impl.h"
#include "engine/ui/button.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/help_dialog.h"
#include "engine/ui/message_dialog.h"
#include "tests/base/log_capture.h"
#include "tests/ui/ui_fixture.h"

namespace kq::test {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;

// An exclusive message box at (100, 100) whose buttons sit at (110, 300) and (300, 300).
class DialogTest : public UiFixture
{
protected:
    DialogTest()
        : UiFixture(R"(
            message : control_defaults {
                x 100 y 100 sx 400 sy 300 exclusive true
                legend : control_defaults { x 10 y 10 sx 300 sy 40 }
                yes <button> : button_defaults { x 10 y 200 sx 80 sy 30 }
                no <button> : button_defaults { x 200 y 200 sx 80 sy 30 keys [{ key_escape }] }
            }
          )")
    {
    }

    std::vector<std::string> m_journal;
};

TEST_F(DialogTest, AModalMessageDialogAnswersTheButtonThatClosedIt)
{
    MessageDialog dialog;
    dialog.set_up(CIIndependent(SkinPath("message")));
    ASSERT_EQ(dialog.buttons().size(), 2u);
    EXPECT_EQ(dialog.legend().size(), (Vector2<int>{300, 40}));

    later(20, [this] { click_at({305, 305}); });
    EXPECT_EQ(dialog.run_modal(root()), StrCache("no"));
    EXPECT_FALSE(dialog.is_attached());
    EXPECT_TRUE(root().children().empty());

    // Opened again it starts over; a hot key of its button closes it too.
    StrCache while_open;
    later(20, [&] {
        while_open = dialog.result();
        ui().on_key(key_escape, state_down);
    });
    EXPECT_EQ(dialog.run_modal(root()), StrCache("no"));
    EXPECT_EQ(while_open, dialog_result_none());

    later(20, [this] { click_at({115, 305}); });
    EXPECT_EQ(dialog.run_modal(root()), StrCache("yes"));

    // A loop that ends with nothing closing the dialog gives "cancel".
    later(20, [] { Mainframe::quit(); });
    EXPECT_EQ(dialog.run_modal(root()), dialog_result_cancel());
    EXPECT_FALSE(dialog.is_attached());
}

TEST_F(DialogTest, ADialogClosesOnceAndNotWithNone)
{
    Dialog dialog;
    std::vector<std::string> heard;
    dialog.on_close().connect([&heard](StrCache result) { heard.push_back(result.c_str()); }, &heard);
    Control::attach_to_parent(&dialog, &root());
    dialog.close(dialog_result_none());
    EXPECT_TRUE(dialog.is_attached());
    dialog.close(dialog_result_ok());
    dialog.close(dialog_result_cancel());
    EXPECT_EQ(dialog.result(), dialog_result_ok());
    EXPECT_THAT(heard, ElementsAre("ok"));
    EXPECT_FALSE(dialog.is_attached());

    // Attaching reopens it.
    Control::attach_to_parent(&dialog, &root());
    EXPECT_EQ(dialog.result(), dialog_result_none());
    LogCapture log;
    EXPECT_EQ(dialog.run_modal(root()), dialog_result_none());
    EXPECT_THAT(log.text("error"), HasSubstr("Unable to attach modal attached dialog!"));
    dialog.close(dialog_result_cancel());
    EXPECT_THAT(heard, ElementsAre("ok", "cancel"));
}

TEST_F(DialogTest, AnExclusiveDialogHoldsTheInputAndGivesItBack)
{
    Probe screen(m_journal, "screen", true);
    Probe widget(m_journal, "widget");
    place(screen, {0, 0}, {1024, 768});
    place(widget, {600, 500}, {100, 100});
    Control::attach_to_parent(&screen, &root());
    Control::attach_to_parent(&widget, &screen);
    screen.grab_keys(0);
    ui().on_mouse_move({650, 550});
    ASSERT_EQ(ui().hovered(), &widget);
    const std::vector<UI::StackEntry> keys_before = ui().key_stack();

    Dialog dialog;
    dialog.set_exclusive(true);
    place(dialog, {100, 100}, {200, 200});
    Control::attach_to_parent(&dialog, &root());
    EXPECT_EQ(ui().hovered(), &dialog);
    EXPECT_EQ(ui().focused(), &dialog);
    m_journal.clear();
    ui().on_mouse_move({660, 560});
    EXPECT_EQ(ui().hovered(), &dialog) << "the mouse cannot leave the dialog";
    press();
    release();
    ui().on_key(key_a, state_down);
    ui().on_char('a');
    EXPECT_THAT(m_journal, ElementsAre()) << "the screen hears nothing";
    EXPECT_FALSE(ui().key_stack().empty());
    EXPECT_EQ(ui().key_stack().back().control, &dialog);

    dialog.close(dialog_result_ok());
    EXPECT_EQ(ui().hovered(), &widget);
    EXPECT_EQ(ui().focused(), nullptr);
    ASSERT_EQ(ui().key_stack().size(), keys_before.size());
    for (std::size_t i = 0; i < keys_before.size(); ++i)
        EXPECT_EQ(ui().key_stack()[i].control, keys_before[i].control);
    EXPECT_TRUE(ui().capture_stack().empty());
    ui().on_key(key_a, state_down);
    EXPECT_THAT(m_journal, ElementsAre("enter widget", "key screen 65 0"));
}

TEST_F(DialogTest, AHandlerRunDuringItsOwnersDetachOpensNothing)
{
    // A screen whose button opens a dialog one step after the click; the screen goes first.
    Control screen;
    Button open;
    place(screen, {0, 0}, {1024, 768});
    place(open, {10, 10}, {50, 50});
    Control::attach_to_parent(&screen, &root());
    Control::attach_to_parent(&open, &screen);
    Dialog dialog;
    dialog.set_exclusive(true);
    StrCache result;
    open.on_click().connect(sign_deffered_impl<>([&] { result = dialog.run_modal(screen); },
                                                 reinterpret_cast<Mainframe::TaskId>(&screen)),
                            &screen);
    // Should the dialog open anyway, this ends its loop rather than the test's patience.
    later(1000, [&] { dialog.close(StrCache("opened")); });
    click_at({20, 20});

    LogCapture log;
    screen.detach();
    EXPECT_EQ(result, dialog_result_cancel());
    EXPECT_FALSE(dialog.is_attached());
    EXPECT_THAT(log.text("error"), HasSubstr("Unable to run modal dialog under detached parent."));
    EXPECT_TRUE(ui().capture_stack().empty());
    EXPECT_EQ(ui().key_stack().size(), 1u);
}

TEST_F(DialogTest, AModalLoopLeftByAnExceptionDetachesTheDialog)
{
    Dialog dialog;
    later(20, [] { throw std::runtime_error("broken"); });
    EXPECT_THROW(dialog.run_modal(root()), std::runtime_error);
    EXPECT_FALSE(dialog.is_attached());
}

TEST_F(DialogTest, AHelpDialogStandsByTheMouseClearOfTheEdges)
{
    struct Case
    {
        Vector2<int> mouse;
        Vector2<int> expected;
    };
    // The dialog is 200 x 50 on a 1024 x 768 root.
    const Case cases[] = {
        {{500, 400}, {480, 380}},
        {{5, 5}, {10, 10}},
        {{1020, 760}, {814, 708}},
        {{1020, 5}, {814, 10}},
        {{5, 760}, {10, 708}},
    };
    HelpDialog dialog;
    dialog.set_up(CIIndependent(SkinPath("ui.help_dialog")));
    dialog.append_text("Press it.");
    EXPECT_EQ(dialog.text().text(), "Help: Press it.");
    for (const Case& c : cases) {
        ui().on_mouse_move(c.mouse);
        Control::attach_to_parent(&dialog, &root());
        EXPECT_EQ(dialog.position(), c.expected) << c.mouse.x << "," << c.mouse.y;
        EXPECT_EQ(dialog.text().position(), (Vector2<float>{2, 2}));
        EXPECT_EQ(dialog.text().size(), (Vector2<float>{196, 46}));
        dialog.close(dialog_result_ok());
    }
}

TEST_F(DialogTest, AHelpDialogClosesWithOkOnAnyRelease)
{
    HelpDialog dialog;
    dialog.set_up(CIIndependent(SkinPath("ui.help_dialog")));
    for (Key key : {key_a, key_mouse_right}) {
        Control::attach_to_parent(&dialog, &root());
        ui().on_key(key, state_down);
        EXPECT_TRUE(dialog.is_attached()) << key;
        ui().on_key(key, state_up);
        EXPECT_FALSE(dialog.is_attached()) << key;
        EXPECT_EQ(dialog.result(), dialog_result_ok());
    }
}

}
}

namespace kq::test {
namespace {

TEST(ShippedDialogs, TheHelpDialogAndButtonDefaultsReadFromTheGamesDocuments)
{
    std::ifstream ui_document(std::string(KQ_SOURCE_DIR) + "/data/skin/ui/ui.sdt");
    std::ostringstream text;
    text << ui_document.rdbuf();
    TestSkinEnvironment skin(controls_document() + text.str() + "\nplain : button_defaults {}\n");
    HelpDialog help;
    help.set_up(CIIndependent(SkinPath("ui.help_dialog")));
    EXPECT_TRUE(help.is_exclusive());
    Button button;
    button.set_up(CIIndependent(SkinPath("plain")));
    EXPECT_TRUE(button.keys().empty());
    EXPECT_TRUE(button.help().empty());
}

}
}
