// The in-game menu on the game's own data tree, on a clock the test drives, driven by mouse
// and key input through the UI: its results, the confirmation, the options and quitting.
#include "game/shell/dialogs/ingame_dlg.h"

#include <gtest/gtest.h>

#include "engine/art/text_sprite.h"
#include "engine/base/mainframe.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/message_dialog.h"
#include "game/shell/dialogs/ingame_options_dlg.h"
#include "tests/shell/dialog_fixture.h"

namespace kq::test {
namespace {

// The screen's centre of a control.
Vector2<int> centre_of(const Control& control)
{
    Vector2<int> p{control.size().x / 2, control.size().y / 2};
    control.client_to_screen(p);
    return p;
}

// The game's screen beneath the menu: it takes the keys and counts the Escapes it gets.
class Screen : public Control
{
public:
    bool on_key(Key key, KeyState state) override
    {
        escapes += key == key_escape && state == state_down;
        return true;
    }
    int escapes = 0;
};

class IngameDlgTest : public DialogTest
{
protected:
    IngameDlgTest()
    {
        screen_below.set_size({1024, 768});
        Control::attach_to_parent(&screen_below, &root());
        screen_below.grab_keys(0);
    }
    ~IngameDlgTest() override
    {
        screen_below.release_keys();
        screen_below.detach();
    }

    /// The menu run modally under the root, with the test's actions on the way.
    StrCache run_menu(bool confirm)
    {
        IngameDlg menu(confirm);
        menu.set_up(CIIndependent(SkinPath("dialogs.ingame")));
        current = &menu;
        const StrCache result = menu.run_modal(root());
        current = nullptr;
        return result;
    }

    void click_button(Button& button) { click_at(centre_of(button)); }

    /// The button of the confirmation (the dialog on top of the root) with that name.
    void answer(const char* name)
    {
        auto* question = dynamic_cast<MessageDialog*>(root().children().back());
        ASSERT_NE(question, nullptr) << "no confirmation on top";
        asked = true;
        for (const SharedPtr<Button>& button : question->buttons())
            if (button->path().text().ends_with(name))
                click_at(centre_of(*button));
    }

    Screen screen_below;
    IngameDlg* current = nullptr;
    bool asked = false;
};

TEST_F(IngameDlgTest, EscapeAndCancelGoBackToTheGameAndEscapeNeverReachesIt)
{
    act_at(100, [&] {
        ui().on_key(key_escape, state_down);
        ui().on_key(key_escape, state_up);
    });
    EXPECT_EQ(run_menu(true), dialog_result_cancel());
    act_at(100, [&] { click_button(current->cancel_button()); });
    EXPECT_EQ(run_menu(true), dialog_result_cancel());
    EXPECT_EQ(screen_below.escapes, 0);
}

TEST_F(IngameDlgTest, ExitLeavesAtOnceOrAfterTheConfirmation)
{
    act_at(100, [&] { click_button(current->exit_button()); });
    EXPECT_EQ(run_menu(false), IngameDlg::result_exit());

    // While the question is open the menu is disabled; "cancel" stays in the game.
    bool disabled = false;
    act_at(100, [&] { click_button(current->exit_button()); });
    act_at(300, [&] {
        disabled = current->is_disabled();
        answer("cancel");
    });
    EXPECT_EQ(run_menu(true), dialog_result_cancel());
    EXPECT_TRUE(asked);
    EXPECT_TRUE(disabled);

    asked = false;
    act_at(100, [&] { click_button(current->exit_button()); });
    act_at(300, [&] { answer("ok"); });
    EXPECT_EQ(run_menu(true), IngameDlg::result_exit());
    EXPECT_TRUE(asked);
}

TEST_F(IngameDlgTest, OptionsRunOverTheMenuAndThenGoBackToTheGame)
{
    bool options_shown = false;
    act_at(100, [&] { click_button(current->options_button()); });
    act_at(300, [&] {
        auto* options = dynamic_cast<IngameOptionsDlg*>(root().children().back());
        ASSERT_NE(options, nullptr);
        options_shown = current->is_disabled();
        click_at(centre_of(options->cancel_button()));
    });
    EXPECT_EQ(run_menu(true), dialog_result_cancel());
    EXPECT_TRUE(options_shown);
}

TEST_F(IngameDlgTest, QuitAnsweredCancelStaysAndConfirmedEndsTheProgram)
{
    act_at(100, [&] { click_button(current->quit_button()); });
    act_at(300, [&] { answer("cancel"); });
    EXPECT_EQ(run_menu(true), dialog_result_cancel());
    EXPECT_TRUE(Mainframe::has_work());

    act_at(100, [&] { click_button(current->quit_button()); });
    act_at(300, [&] { answer("ok"); });
    run_menu(true);
    EXPECT_FALSE(Mainframe::has_work()) << "the program's loop ends";
}


// Each way out asks in its own words, and its question covers the menu's box whole, so only
// one pair of answers shows.
TEST_F(IngameDlgTest, EachConfirmationSaysWhatItDoesAndCoversTheMenu)
{
    struct Case { const char* button; const char* words; };
    for (const Case& c : {Case{"exit", "main menu"}, Case{"quit", "Quit the game"}}) {
        std::string words;
        Rect box;
        Rect question;
        act_at(100, [&] { click_button(std::string(c.button) == "exit" ? current->exit_button() : current->quit_button()); });
        act_at(300, [&] {
            auto* dialog = dynamic_cast<MessageDialog*>(root().children().back());
            ASSERT_NE(dialog, nullptr);
            auto* legend = dynamic_cast<TextSprite*>(dialog->legend().sprite());
            ASSERT_NE(legend, nullptr);
            words = std::string(legend->display_text().begin(), legend->display_text().end());
            const Sprite* back = current->sprite()->find(StrCache("back"), false);
            ASSERT_NE(back, nullptr);
            box = {back->position().x, back->position().y, back->size().x, back->size().y};
            Vector2<int> corner{0, 0};
            dialog->client_to_screen(corner);
            question = {float(corner.x), float(corner.y), float(dialog->size().x), float(dialog->size().y)};
            answer("cancel");
        });
        EXPECT_EQ(run_menu(true), dialog_result_cancel());
        EXPECT_NE(words.find(c.words), std::string::npos) << c.button << ": " << words;
        EXPECT_TRUE(question.x <= box.x && question.y <= box.y && question.x + question.w >= box.x + box.w &&
                    question.y + question.h >= box.y + box.h)
            << c.button << ": the question (" << question.x << ", " << question.y << " " << question.w << "x"
            << question.h << ") leaves the menu's box (" << box.x << ", " << box.y << ") showing";
    }
}

}
}
