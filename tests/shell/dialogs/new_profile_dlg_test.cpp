// Naming a new player as a player meets it: the real game on the offscreen driver, the dialog
// over the title, typed into through the window's text input and keys. "ok" follows the name,
// Enter with a name of blanks only goes back to the box, a name in use is refused with its
// message while one differing in case is a new player, and the name kept is exactly what the
// box lets in (typed or pasted): printable characters, at most the length a save file keeps.
#include "game/shell/dialogs/new_profile_dlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/host/window/clipboard.h"
#include "game/shell/progress/save_checks.h"
#include "tests/shell/profile_dialogs.h"

namespace kq::test {
namespace {

using testing::ElementsAre;

class NewRun : public DialogRun<NewProfileDlg>
{
public:
    NewRun() : DialogRun([] { return std::make_unique<NewProfileDlg>(); }, "dialogs.new_profile") {}
    EditBox& box() { return dialog->name_box(); }
    bool ok_enabled() { return !dialog->ok_button().is_disabled(); }
    /// Waits until the box holds the text.
    GameDriver& holds(GameDriver& driver, std::string text)
    {
        return driver.wait_for("the name [" + text + "]", [this, text] { return box().text() == text; });
    }
};

std::string current_player()
{
    const Game& game = *Game::instance();
    return game.m_profile ? game.m_profile->name : "(none)";
}

TEST(NewProfileDlg, OkFollowsTheNameAndCancelMakesNoPlayer)
{
    // Each line types more into the box; control characters are not let in.
    struct Case
    {
        const char* typed;
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"   ", "   ", false},
        {"\t\x01x", "   x", true},
        {"\xC3\xA9", "   x\xE9", true},
    };
    GameDriver driver;
    NewRun run;
    std::vector<bool> oks;
    bool ok_at_first = true;
    at_menu_with(driver, {"ann"}, "ann");
    run.open(driver).then([&] { ok_at_first = run.ok_enabled(); });
    for (const Case& c : cases)
        run.holds(driver.type_text(c.typed), c.text).then([&] { oks.push_back(run.ok_enabled()); });
    driver.click([&] { return centre_of(run.dialog->cancel_button()); });
    run.closed(driver).then([&] { EXPECT_THAT(player_names(), ElementsAre("ann")); }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_FALSE(ok_at_first);
    EXPECT_THAT(oks, ElementsAre(false, true, true));
    EXPECT_EQ(run.result, dialog_result_cancel());
}

TEST(NewProfileDlg, EnterWithBlanksOnlyGoesBackToTheBox)
{
    GameDriver driver;
    NewRun run;
    int enters = 0;
    at_menu_with(driver, {}, "");
    run.open(driver).then([&] { run.box().on_enter().connect([&] { ++enters; }, &enters); });
    run.holds(driver.type_text("  "), "  ")
        .press_key(SDLK_RETURN)
        .wait_for("Enter", [&] { return enters == 1; })
        .then([&] {
            EXPECT_TRUE(run.box().is_editing()) << "the box has the focus again";
            EXPECT_TRUE(run.dialog->is_attached());
        });
    run.holds(driver.type_text("Ed"), "  Ed").press_key(SDLK_RETURN);
    run.closed(driver).then([&] { EXPECT_EQ(current_player(), "  Ed") << "kept as typed"; }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(run.result, dialog_result_ok());
}

TEST(NewProfileDlg, ANameInUseIsRefusedAndOneDifferingInCaseIsANewPlayer)
{
    GameDriver driver;
    NewRun run;
    std::string legend;
    at_menu_with(driver, {"Ann"}, "Ann");
    run.open(driver);
    run.holds(driver.type_text("Ann"), "Ann")
        .press_key(SDLK_RETURN)
        .wait_for("the message", [&] { return message_over(*run.dialog) != nullptr; })
        .click([&] {
            MessageDialog& message = *message_over(*run.dialog);
            legend = shown_text(message.legend().sprite());
            return message_button(message, "ok");
        })
        .wait_for("the message gone", [&] { return message_over(*run.dialog) == nullptr; })
        .then([&] {
            EXPECT_TRUE(run.dialog->is_attached());
            EXPECT_EQ(run.box().text(), "Ann");
            EXPECT_TRUE(run.box().is_editing());
            EXPECT_THAT(player_names(), ElementsAre("Ann"));
        })
        .press_key(SDLK_BACKSPACE)
        .press_key(SDLK_BACKSPACE)
        .press_key(SDLK_BACKSPACE);
    run.holds(driver, "").type_text("ann");
    run.holds(driver, "ann").click([&] { return centre_of(run.dialog->ok_button()); });
    run.closed(driver)
        .then([&] {
            EXPECT_THAT(player_names(), ElementsAre("Ann", "ann"));
            EXPECT_EQ(current_player(), "ann");
            EXPECT_EQ(Game::instance()->m_profile, Game::instance()->find_profile("ann"));
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_NE(legend.find("Ann"), std::string::npos) << legend;
    EXPECT_EQ(run.result, dialog_result_ok());
}

TEST(NewProfileDlg, TheNameHoldsWhatTheBoxLetsInUpToTheSavedLength)
{
    GameDriver driver;
    NewRun run;
    int max_chars = -1;
    std::string name;
    at_menu_with(driver, {}, "");
    run.open(driver).then([&] {
        max_chars = run.box().max_chars();
        host::set_clipboard_text("ab\tc\r\nd\x7f");
    });
    driver.key_state(SDLK_LSHIFT, true).press_key(SDLK_INSERT);
    run.holds(driver, "abcd").key_state(SDLK_LSHIFT, false).type_text(std::string(25, 'x'));
    run.holds(driver, "abcd" + std::string(16, 'x')).press_key(SDLK_RETURN);
    run.closed(driver).then([&] { name = current_player(); }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(std::size_t(max_chars), profile_name_limit);
    EXPECT_EQ(name, "abcd" + std::string(16, 'x'));
    EXPECT_EQ(clean_profile_name(name), name) << "a save file keeps the name as it is";
}

}
}
