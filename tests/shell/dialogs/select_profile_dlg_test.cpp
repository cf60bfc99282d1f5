// Choosing the player as the title and the main menu offer it: the real game on the offscreen
// driver, the dialog over the title, driven by pushed mouse and key input. The list shows the
// players with the current one yellow and selected; "ok", a double click, deleting after the
// question, "new" and "cancel" act on the game's players, and the dialog is never left without
// a current player.
#include "game/shell/dialogs/select_profile_dlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game/shell/dialogs/new_profile_dlg.h"
#include "tests/shell/profile_dialogs.h"

namespace kq::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

class SelectRun : public DialogRun<SelectProfileDlg>
{
public:
    explicit SelectRun(bool forced)
        : DialogRun([forced] { return std::make_unique<SelectProfileDlg>(forced); }, "dialogs.select_profile")
    {
    }
    ListBox& list() { return dialog->list(); }
    /// The buttons' states: which of ok, cancel and delete are enabled.
    std::vector<bool> enabled()
    {
        return {!dialog->ok_button().is_disabled(), !dialog->cancel_button().is_disabled(),
                !dialog->delete_button().is_disabled()};
    }
};

/// The current player's name, read through the current profile (a profile that went away
/// would show here, under the sanitizers at once).
std::string current_player()
{
    Game& game = *Game::instance();
    if (!game.m_profile)
        return "(none)";
    EXPECT_EQ(game.m_profile, game.find_profile(game.m_profile_name)) << "the current profile is listed";
    return game.m_profile->name;
}

bool is_yellow(const Sprite& item)
{
    return item.color() == SelectProfileDlg::current_colour;
}

/// Clicks "new" and waits for the new player's dialog over the title.
GameDriver& open_new_player(GameDriver& driver, SelectRun& run, NewProfileDlg*& typing)
{
    return driver.click([&run] { return centre_of(run.dialog->new_button()); })
        .wait_for("the new player's dialog", [&typing] {
            typing = nullptr;
            for (Control* child : Game::instance()->ui().root()->children())
                if (auto* dialog = dynamic_cast<NewProfileDlg*>(child))
                    typing = dialog;
            return typing != nullptr;
        });
}

/// Answers the question over the dialog with its button of that name.
GameDriver& answer(GameDriver& driver, SelectRun& run, const char* button, std::string* legend = nullptr)
{
    return driver.wait_for("the question", [&run] { return message_over(*run.dialog) != nullptr; })
        .click([&run, button, legend] {
            MessageDialog& question = *message_over(*run.dialog);
            if (legend)
                *legend = shown_text(question.legend().sprite());
            return message_button(question, button);
        })
        .wait_for("the question answered", [&run] { return message_over(*run.dialog) == nullptr; });
}

TEST(SelectProfileDlg, OpensWithTheCurrentPlayerYellowAndSelectedAndCancelKeepsIt)
{
    GameDriver driver;
    SelectRun run(false);
    std::vector<std::string> labels;
    std::vector<bool> yellow;
    std::vector<bool> looking_selected;
    at_menu_with(driver, {"ann", "bob", "cid"}, "bob");
    run.open(driver).then([&] {
        // The items' looks as drawing leaves them.
        Game::instance()->ui().draw_frame();
        EXPECT_THAT(run.dialog->names(), ElementsAre("ann", "bob", "cid"));
        for (int i = 0; i < run.list().count(); ++i) {
            labels.push_back(label_of(run.list().item(i)));
            yellow.push_back(is_yellow(*run.list().item(i)));
            looking_selected.push_back((run.list().item(i)->state() & VF_FOCUSED) != 0);
        }
        EXPECT_EQ(run.list().selection(), 1);
        EXPECT_THAT(run.enabled(), ElementsAre(true, true, true));
    });
    driver.click([&] { return centre_of(run.dialog->cancel_button()); });
    run.closed(driver).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_THAT(labels, ElementsAre("ann", "bob", "cid"));
    EXPECT_THAT(yellow, ElementsAre(false, true, false));
    EXPECT_THAT(looking_selected, ElementsAre(false, true, false));
    EXPECT_EQ(run.result, dialog_result_cancel());
}

TEST(SelectProfileDlg, WithoutACurrentPlayerOkWaitsForAChoiceAndMakesItCurrent)
{
    GameDriver driver;
    SelectRun run(true);
    std::vector<bool> at_first;
    std::vector<bool> after_choice;
    bool any_yellow = false;
    std::string chosen;
    at_menu_with(driver, {"ann", "bob"}, "");
    run.open(driver).then([&] {
        EXPECT_EQ(run.list().selection(), -1);
        for (int i = 0; i < run.list().count(); ++i)
            any_yellow = any_yellow || is_yellow(*run.list().item(i));
        at_first = run.enabled();
    });
    driver.click([&] { return item_point(run.list(), 1); })
        .wait_for("ok enabled", [&] { return !run.dialog->ok_button().is_disabled(); })
        .then([&] { after_choice = run.enabled(); })
        .press_key(SDLK_ESCAPE)
        .click([&] { return centre_of(run.dialog->ok_button()); });
    run.closed(driver).then([&] { chosen = current_player(); }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_FALSE(any_yellow);
    EXPECT_THAT(at_first, ElementsAre(false, false, true)) << "ok, cancel, delete";
    EXPECT_THAT(after_choice, ElementsAre(true, false, true)) << "no current player: still no cancel";
    EXPECT_EQ(run.result, dialog_result_ok()) << "Escape does not leave without a player";
    EXPECT_EQ(chosen, "bob");
}

TEST(SelectProfileDlg, ADoubleClickOnANameChoosesIt)
{
    GameDriver driver;
    SelectRun run(false);
    std::string chosen;
    at_menu_with(driver, {"ann", "bob"}, "ann");
    run.open(driver)
        .move_mouse([&] { return item_point(run.list(), 1); })
        .mouse_button([&] { return item_point(run.list(), 1); }, SDL_BUTTON_LEFT, true)
        .mouse_button([&] { return item_point(run.list(), 1); }, SDL_BUTTON_LEFT, false)
        .mouse_button([&] { return item_point(run.list(), 1); }, SDL_BUTTON_LEFT, true)
        .mouse_button([&] { return item_point(run.list(), 1); }, SDL_BUTTON_LEFT, false);
    run.closed(driver).then([&] { chosen = current_player(); }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(run.result, dialog_result_ok());
    EXPECT_EQ(chosen, "bob");
}

TEST(SelectProfileDlg, DeletingAsksFirstAndCancelKeepsThePlayer)
{
    GameDriver driver;
    SelectRun run(false);
    std::string legend;
    std::vector<std::string> kept;
    std::vector<bool> after_delete;
    at_menu_with(driver, {"ann", "bob"}, "ann");
    run.open(driver).click([&] { return item_point(run.list(), 1); });
    driver.wait_for("bob selected", [&] { return run.list().selection() == 1; })
        .click([&] { return centre_of(run.dialog->delete_button()); });
    answer(driver, run, "cancel", &legend).then([&] {
        kept = player_names();
        EXPECT_EQ(run.list().count(), 2);
    });
    driver.click([&] { return centre_of(run.dialog->delete_button()); });
    answer(driver, run, "ok")
        .wait_for("bob's item gone", [&] { return run.list().count() == 1; })
        .then([&] {
            EXPECT_THAT(player_names(), ElementsAre("ann"));
            EXPECT_EQ(current_player(), "ann");
            EXPECT_THAT(run.dialog->names(), ElementsAre("ann"));
            EXPECT_EQ(run.list().selection(), -1);
            EXPECT_EQ(label_of(run.list().item(0)), "ann");
            after_delete = run.enabled();
        })
        .click([&] { return centre_of(run.dialog->cancel_button()); });
    run.closed(driver).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_NE(legend.find("bob"), std::string::npos) << legend;
    EXPECT_THAT(kept, ElementsAre("ann", "bob"));
    EXPECT_THAT(after_delete, ElementsAre(false, true, false)) << "ok, cancel, delete";
    EXPECT_EQ(run.result, dialog_result_cancel());
}

// The current player deleted, then the last one: nothing to choose, no way back but a new
// player, who is current when the dialog ends with "cancel".
TEST(SelectProfileDlg, DeletingTheCurrentAndTheLastPlayerLeavesOnlyANewPlayer)
{
    GameDriver driver;
    SelectRun run(false);
    NewProfileDlg* typing = nullptr;
    std::vector<bool> current_gone;
    std::vector<bool> all_gone;
    bool hidden_while_typing = false;
    std::string chosen;
    at_menu_with(driver, {"ann", "bob"}, "ann");
    run.open(driver).click([&] { return centre_of(run.dialog->delete_button()); });
    answer(driver, run, "ok")
        .wait_for("ann's item gone", [&] { return run.list().count() == 1; })
        .then([&] {
            EXPECT_EQ(Game::instance()->m_profile, nullptr);
            EXPECT_EQ(Game::instance()->m_profile_name, "");
            current_gone = run.enabled();
        })
        .click([&] { return item_point(run.list(), 0); })
        .wait_for("bob selected", [&] { return !run.dialog->delete_button().is_disabled(); })
        .click([&] { return centre_of(run.dialog->delete_button()); });
    answer(driver, run, "ok")
        .wait_for("the list empty", [&] { return run.list().count() == 0; })
        .then([&] {
            EXPECT_THAT(player_names(), IsEmpty());
            all_gone = run.enabled();
        })
        .press_key(SDLK_ESCAPE);
    open_new_player(driver, run, typing)
        .then([&] { hidden_while_typing = !run.dialog->is_visible(run.dialog->state()); })
        .type_text("Zoe")
        .press_key(SDLK_RETURN);
    run.closed(driver).then([&] { chosen = current_player(); }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_THAT(current_gone, ElementsAre(false, false, false)) << "ok, cancel, delete";
    EXPECT_THAT(all_gone, ElementsAre(false, false, false));
    EXPECT_TRUE(hidden_while_typing);
    EXPECT_EQ(run.result, dialog_result_cancel());
    EXPECT_EQ(chosen, "Zoe");
}

TEST(SelectProfileDlg, ForcedWithoutPlayersOffersOnlyANewPlayer)
{
    GameDriver driver;
    SelectRun run(true);
    NewProfileDlg* typing = nullptr;
    std::vector<bool> at_first;
    std::string chosen;
    at_menu_with(driver, {}, "");
    run.open(driver).then([&] {
        EXPECT_EQ(run.list().count(), 0);
        at_first = {!run.dialog->ok_button().is_disabled(), !run.dialog->cancel_button().is_disabled()};
    });
    // A new player's dialog left with "cancel" comes back to the choice.
    open_new_player(driver, run, typing)
        .click([&] { return centre_of(typing->cancel_button()); })
        .wait_for("the choice back", [&] { return run.dialog->is_visible(run.dialog->state()); })
        .then([&] { EXPECT_THAT(player_names(), IsEmpty()); });
    open_new_player(driver, run, typing).type_text("Zoe").click([&] { return centre_of(typing->ok_button()); });
    run.closed(driver).then([&] { chosen = current_player(); }).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_THAT(at_first, ElementsAre(false, false)) << "ok, cancel";
    EXPECT_EQ(run.result, dialog_result_cancel());
    EXPECT_EQ(chosen, "Zoe");
}

/// In the chooser over the title: "new", the name typed, Enter.
GameDriver& new_player_typed(GameDriver& driver, const std::string& name)
{
    return driver.wait_for("the players", [] { return dialog_over_title<SelectProfileDlg>() != nullptr; })
        .click([] { return centre_of(dialog_over_title<SelectProfileDlg>()->new_button()); })
        .wait_for("the new player's name", [] { return dialog_over_title<NewProfileDlg>() != nullptr; })
        .type_text(name)
        .wait_for("the name typed", [name] { return dialog_over_title<NewProfileDlg>()->name_box().text() == name; })
        .press_key(SDLK_RETURN);
}

// Saved players without a current one: the title's chooser, forced, makes a new player; the
// main menu's "introduce" then deletes that player, the current one, and the menu comes back
// only with another new player current.
TEST(SelectProfileDlg, TheTitleAndTheMainMenuChooseThroughItUntilAPlayerIsCurrent)
{
    GameDriver driver;
    driver.skip_intro()
        .wait_for("the main menu", main_menu_ready, 20000)
        .then([] {
            Game& game = *Game::instance();
            game.select_profile("ann");
            game.m_profile = nullptr;
            game.m_profile_name.clear();
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");

    bool forced = false;
    std::string after_forced;
    std::vector<std::string> listed;
    std::vector<bool> after_delete;
    std::string after_menu;
    driver.window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
    driver.skip_intro()
        .wait_for("the forced chooser", [] { return dialog_over_title<SelectProfileDlg>() != nullptr; }, 20000)
        .then([&] { forced = dialog_over_title<SelectProfileDlg>()->cancel_button().is_disabled(); });
    new_player_typed(driver, "Zoe")
        .wait_for("the main menu", main_menu_ready)
        .wait_for("Zoe's name on the title", [] { return title_name_shown() == "Player: Zoe"; })
        .then([&] { after_forced = current_player(); })
        .click([] { return centre_of(dialog_over_title<MainDlg>()->introduce_button()); })
        .wait_for("the players", [] { return dialog_over_title<SelectProfileDlg>() != nullptr; })
        .then([&] { listed = dialog_over_title<SelectProfileDlg>()->names(); })
        .click([] { return centre_of(dialog_over_title<SelectProfileDlg>()->delete_button()); })
        .wait_for("the question", [] { return message_over(*dialog_over_title<SelectProfileDlg>()) != nullptr; })
        .click([] { return message_button(*message_over(*dialog_over_title<SelectProfileDlg>()), "ok"); })
        .wait_for("Zoe gone", [] { return dialog_over_title<SelectProfileDlg>()->list().count() == 2; })
        .then([&] {
            SelectProfileDlg& chooser = *dialog_over_title<SelectProfileDlg>();
            after_delete = {!chooser.ok_button().is_disabled(), !chooser.cancel_button().is_disabled()};
        })
        .press_key(SDLK_ESCAPE);
    new_player_typed(driver, "Max")
        .wait_for("the main menu", main_menu_ready)
        .wait_for("Max's name on the title", [] { return title_name_shown() == "Player: Max"; })
        .then([&] { after_menu = current_player(); })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_TRUE(forced) << "the title's chooser offers no cancel";
    EXPECT_EQ(after_forced, "Zoe");
    EXPECT_THAT(listed, ElementsAre("Player", "ann", "Zoe"));
    EXPECT_THAT(after_delete, ElementsAre(false, false)) << "ok, cancel: no current player to go back with";
    EXPECT_EQ(after_menu, "Max");
}

}
}
