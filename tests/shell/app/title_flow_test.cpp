// The game's flow from the start as a player meets it: the logos, the loading bar, the title
// screen with its main menu, a new game on the travel map, a mission, and back; what a second
// start finds; the best scores; and the questions that continue or restart a game.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/art/image_sprite.h"
#include "engine/base/clock.h"
#include "engine/base/mainframe.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/frame_manager.h"
#include "engine/ui/message_dialog.h"
#include "game/shell/dialogs/end_game_dlg.h"
#include "game/shell/dialogs/main_dlg.h"
#include "game/shell/dialogs/score_dlg.h"
#include "game/shell/dialogs/select_profile_dlg.h"
#include "game/shell/play/game_frame.h"
#include "game/shell/screens/load_frame.h"
#include "game/shell/screens/progress_frame.h"
#include "game/shell/screens/title_frame.h"
#include "tests/shell/game_driver.h"
#include "tests/shell/profile_dialogs.h"

namespace kq::test {
namespace {

Game& game()
{
    return *Game::instance();
}

MainDlg* menu()
{
    return dialog_over_title<MainDlg>();
}

bool map_ready()
{
    return top_frame_is<ProgressFrame>() && !game().frame_manager().is_fading();
}

Vector2<int> centre(const Control& control)
{
    const RectI r = control.get_client_rect();
    Vector2<int> p{r.x + r.w / 2, r.y + r.h / 2};
    control.client_to_screen(p);
    return p;
}

GameDriver& at_menu(GameDriver& driver)
{
    return driver.skip_intro().wait_for("the main menu", main_menu_ready, 20000);
}

TEST(TitleFlow, ANewPlayerStartsAGameOnTheMapPlaysTheFirstMissionAndFindsItKeptNextTime)
{
    GameDriver driver;
    std::vector<int> bar;
    driver.skip_intro().step(
        "the loading bar", [&bar] {
            if (auto* load = dynamic_cast<LoadFrame*>(top_frame())) {
                if (const ShareBox::Share* share = load->progress().find_share(StrCache("common")))
                    bar.push_back(share->value);
                return false;
            }
            return top_frame_is<TitleFrame>();
        },
        20000);
    driver.wait_for("the main menu", main_menu_ready)
        .then([] {
            ASSERT_NE(game().m_profile, nullptr) << "a first start makes its player";
            EXPECT_EQ(game().m_profile->name, "Player");
            EXPECT_EQ(game().m_profiles.size(), 1u);
            EXPECT_EQ(title_name_shown(), "Player: Player");
            EXPECT_FALSE(game().m_profile->has_game());
        })
        .click([] { return centre(menu()->play_button()); })
        .wait_for("the mode of the new game", [] { return dialog_over_title<MessageDialog>("dialogs.new_game"); })
        .click([] {
            for (const SharedPtr<Button>& button : dialog_over_title<MessageDialog>("dialogs.new_game")->buttons())
                if (button->path().text() == "dialogs.new_game.tactical")
                    return centre(*button);
            return Vector2<int>{-1, -1};
        })
        .wait_for("the travel map", map_ready, 20000)
        .then([] {
            const Profile& player = *game().m_profile;
            EXPECT_EQ(player.chapter, 1);
            EXPECT_EQ(player.mission, 1);
            EXPECT_EQ(player.difficulty, 1);
            EXPECT_TRUE((menu()->state() & Control::state_hidden)) << "the menu hides under the map";
        });
    driver.press_until("the first mission", [] {
        auto* frame = dynamic_cast<GameFrame*>(top_frame());
        return frame && frame->field() && game().tip_pages().empty() && !game().frame_manager().is_fading();
    }).then([] { dynamic_cast<GameFrame*>(top_frame())->field()->set_game_state(GameState::win); })
        .wait_for("the end dialog", [] {
            auto* frame = dynamic_cast<GameFrame*>(top_frame());
            return frame && frame->is_ending();
        });
    driver.press_until("the map again", [] { return map_ready() && game().m_profile->mission == 2; })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(driver.log("error"), "");
    ASSERT_FALSE(bar.empty()) << "the menus load behind the bar";
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_LE(bar.back(), 100);

    // The same player again, with the mission won kept.
    driver.window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
    at_menu(driver)
        .then([] {
            ASSERT_NE(game().m_profile, nullptr);
            EXPECT_EQ(game().m_profile->name, "Player");
            EXPECT_EQ(game().m_profile->chapter, 1);
            EXPECT_EQ(game().m_profile->mission, 2);
            EXPECT_EQ(title_name_shown(), "Player: Player");
        })
        .click([] { return centre(menu()->play_button()); })
        .wait_for("the question of the game in progress", [] { return dialog_over_title<MessageDialog>("dialogs.restart"); })
        .press_key(SDLK_RETURN)
        .wait_for("the travel map", map_ready, 20000)
        .then([] { EXPECT_EQ(game().m_profile->mission, 2) << "Return goes on with the game"; })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
}

TEST(TitleFlow, TheMainMenuAsksHowToGoOnBeforeTheMap)
{
    // The player "ann" is in chapter 2, mission 3 with 5000 points when she presses Play.
    struct Case
    {
        const char* title;
        std::vector<std::pair<const char*, const char*>> answers;  // dialog node, result
        bool map;
        int chapter;
        int mission;
        int difficulty;
        bool score_recorded;
    };
    const Case cases[] = {
        {"continue", {{"dialogs.restart", "continue"}}, true, 2, 3, 0, false},
        {"cancel", {{"dialogs.restart", "cancel"}}, false, 2, 3, 0, false},
        {"new game",
         {{"dialogs.restart", "new"}, {"dialogs.restart_type", "game"}, {"dialogs.new_game", "strategical"}},
         true, 1, 1, 2, true},
        {"new chapter", {{"dialogs.restart", "new"}, {"dialogs.restart_type", "chapter"}}, true, 2, 1, 0, true},
        {"new, then neither", {{"dialogs.restart", "new"}, {"dialogs.restart_type", "cancel"}}, false, 2, 3, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        GameDriver driver;
        bool map_shown = false;
        bool saved = false;
        Profile seen;
        bool recorded = false;
        at_menu(driver).then([&driver] {
            // The map's story events pass unseen.
            game().map_screens().events = [](Control&, const Chapter&, const std::vector<MissionEvent>&) {};
            game().select_profile("ann");
            Profile& ann = *game().m_profile;
            ann.new_game(0, game().m_score_table);
            ann.chapter = 2;
            ann.mission = 3;
            ann.score = 5000;
            ann.tips = false;
            std::remove((driver.app_dir() + "game.cfg").c_str());
        });
        driver.click([] { return centre(menu()->play_button()); });
        for (const auto& [node, answer] : c.answers) {
            driver.wait_for(node, [node = node] { return dialog_over_title<MessageDialog>(node); })
                .then([node = node, answer = answer] {
                    EXPECT_TRUE((menu()->state() & Control::state_hidden));
                    dialog_over_title<MessageDialog>(node)->close(StrCache(answer));
                });
        }
        // The map is left once it waits for the player (no story or tip open over it).
        driver
            .step("the map or the menu", [&map_shown] {
                auto* map = dynamic_cast<ProgressFrame*>(top_frame());
                map_shown = map != nullptr;
                if (map) {
                    const Button& play = map->progress().play_button();
                    return play.is_visible(play.state()) && !game().frame_manager().is_fading();
                }
                return main_menu_ready() && !dialog_over_title<MessageDialog>();
            })
            .then([&] {
                seen = *game().m_profile;
                recorded = game().m_score_table.count("ann") && game().m_score_table.at("ann") == 5000;
                saved = std::ifstream(driver.app_dir() + "game.cfg").good();
                if (map_shown)
                    game().frame_manager().pop_frame(top_frame(), Fade());
            })
            .wait_for("the menu again", main_menu_ready)
            .close_window();
        EXPECT_EQ(driver.run(), 0);
        EXPECT_EQ(driver.failure(), "");
        EXPECT_EQ(map_shown, c.map);
        EXPECT_EQ(saved, c.map) << "saved before the map, and only then";
        EXPECT_EQ(seen.chapter, c.chapter);
        EXPECT_EQ(seen.mission, c.mission);
        EXPECT_EQ(seen.difficulty, c.difficulty);
        EXPECT_EQ(recorded, c.score_recorded);
    }
}

TEST(TitleFlow, ANewGameOfAnyOtherModeIsRelaxed)
{
    for (const char* answer : {"casual", "cancel", "whatever"}) {
        SCOPED_TRACE(answer);
        GameDriver driver;
        int difficulty = -1;
        at_menu(driver)
            .then([] { game().m_profile->difficulty = 2; })
            .click([] { return centre(menu()->play_button()); })
            .wait_for("the mode", [] { return dialog_over_title<MessageDialog>("dialogs.new_game"); })
            .then([answer] { dialog_over_title<MessageDialog>("dialogs.new_game")->close(StrCache(answer)); })
            .wait_for("the map", map_ready, 20000)
            .then([&difficulty] { difficulty = game().m_profile->difficulty; })
            .close_window();
        EXPECT_EQ(driver.run(), 0);
        EXPECT_EQ(driver.failure(), "");
        EXPECT_EQ(difficulty, 0);
    }
}

TEST(TitleFlow, TheBestScoresListTheTableWithTheCurrentPlayerInYellow)
{
    struct Row
    {
        std::string name;
        std::string score;
        float y;
        bool yellow;
    };
    struct Case
    {
        const char* title;
        ScoreTable table;
        int player_score;  // -1: the player is deleted
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {"two in the table and the player's game",
         {{"Ada", 900}, {"Bob", 800}},
         700,
         {{"1. Ada", "900", 330, false}, {"2. Bob", "800", 370, false}, {"3. Player", "700", 410, true}}},
        {"none, without a player", {}, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        GameDriver driver;
        std::vector<Row> shown;
        at_menu(driver)
            .then([&c] {
                game().m_score_table = c.table;
                if (c.player_score < 0)
                    game().delete_profile("Player");
                else
                    game().m_profile->score = c.player_score;
            })
            .click([] { return centre(menu()->score_button()); })
            .wait_for("the scores", [] { return dialog_over_title<ScoreDlg>() != nullptr; })
            .then([&shown] {
                ScoreDlg& scores = *dialog_over_title<ScoreDlg>();
                EXPECT_TRUE((menu()->state() & Control::state_hidden));
                const auto& rows = scores.rows();
                ASSERT_EQ(rows.size() % 2, 0u);
                for (std::size_t i = 0; i < rows.size(); i += 2) {
                    const TextSprite& name = *rows[i];
                    const TextSprite& score = *rows[i + 1];
                    EXPECT_EQ(name.position().x, 150.0f);
                    EXPECT_EQ(score.position().y, name.position().y);
                    EXPECT_EQ(name.size().x, 320.0f);
                    EXPECT_EQ(name.size().y, 48.0f);
                    EXPECT_EQ(name.color(), score.color());
                    const Color& colour = name.color();
                    shown.push_back({name.text(), score.text(), name.position().y,
                                     colour.r == 1.0f && colour.g == 1.0f && colour.b == 0.0f && colour.a == 1.0f});
                }
            })
            .press_key(SDLK_ESCAPE)
            .wait_for("the menu again", main_menu_ready)
            .close_window();
        EXPECT_EQ(driver.run(), 0);
        EXPECT_EQ(driver.failure(), "");
        ASSERT_EQ(shown.size(), c.rows.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].name, c.rows[i].name);
            EXPECT_EQ(shown[i].score, c.rows[i].score);
            EXPECT_EQ(shown[i].y, c.rows[i].y);
            EXPECT_EQ(shown[i].yellow, c.rows[i].yellow);
        }
    }
}

TEST(TitleFlow, PlayersSavedWithoutACurrentOneChooseOneBeforeTheMenu)
{
    GameDriver driver;
    at_menu(driver)
        .then([] {
            game().select_profile("ann");
            game().select_profile("bob");
            game().m_profile = nullptr;
            game().m_profile_name.clear();
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");

    bool menu_at_first = true;
    bool cancel_offered = true;
    std::vector<std::string> offered;
    driver.window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
    driver.skip_intro()
        .wait_for("the players", [] { return dialog_over_title<SelectProfileDlg>() && !game().frame_manager().is_fading(); },
                  20000)
        .then([&] {
            SelectProfileDlg& chooser = *dialog_over_title<SelectProfileDlg>();
            menu_at_first = menu() != nullptr;
            cancel_offered = !chooser.cancel_button().is_disabled();
            offered = chooser.names();
        })
        .click([] { return item_point(dialog_over_title<SelectProfileDlg>()->list(), 2); })
        .wait_for("ok offered", [] { return !dialog_over_title<SelectProfileDlg>()->ok_button().is_disabled(); })
        .click([] { return centre_of(dialog_over_title<SelectProfileDlg>()->ok_button()); })
        .wait_for("the main menu", main_menu_ready)
        .wait_for("the chosen name", [] { return title_name_shown() == "Player: bob"; })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_FALSE(menu_at_first) << "the menu waits for a player";
    EXPECT_FALSE(cancel_offered);
    EXPECT_EQ(offered, (std::vector<std::string>{"Player", "ann", "bob"}));
}

TEST(TitleFlow, ChangePlayerOpensTheChooserInPlaceOfTheMenu)
{
    struct Case
    {
        const char* title;
        bool choose_ann;
        std::string player;
    };
    const Case cases[] = {{"ann chosen", true, "ann"}, {"cancelled", false, "Player"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        GameDriver driver;
        bool cancel_offered = false;
        bool menu_hidden = false;
        std::string player;
        at_menu(driver)
            .then([] {
                game().select_profile("ann");
                game().select_profile("Player");
            })
            .click([] { return centre(menu()->introduce_button()); })
            .wait_for("the players", [] { return dialog_over_title<SelectProfileDlg>() != nullptr; })
            .then([&] {
                cancel_offered = !dialog_over_title<SelectProfileDlg>()->cancel_button().is_disabled();
                menu_hidden = (menu()->state() & Control::state_hidden) != 0;
            });
        if (c.choose_ann) {
            driver.click([] { return item_point(dialog_over_title<SelectProfileDlg>()->list(), 1); })
                .wait_for("ann selected", [] { return dialog_over_title<SelectProfileDlg>()->list().selection() == 1; })
                .click([] { return centre_of(dialog_over_title<SelectProfileDlg>()->ok_button()); });
        } else {
            driver.click([] { return centre_of(dialog_over_title<SelectProfileDlg>()->cancel_button()); });
        }
        driver.wait_for("the main menu", main_menu_ready)
            .then([&player] { player = game().m_profile ? game().m_profile->name : ""; })
            .close_window();
        EXPECT_EQ(driver.run(), 0);
        EXPECT_EQ(driver.failure(), "");
        EXPECT_TRUE(cancel_offered);
        EXPECT_TRUE(menu_hidden);
        EXPECT_EQ(player, c.player);
    }
}

TEST(TitleFlow, BackOnTopTheTitlesEffectStartsAgainWithoutItsOldSparks)
{
    const auto sparks = [] {
        int count = 0;
        title_frame()->effect().for_each_child([&count](Sprite* child) { count += dynamic_cast<ImageSprite*>(child) != nullptr; },
                                         false);
        return count;
    };
    GameDriver driver;
    int after_pop = -1;
    at_menu(driver)
        .wait_for("sparks", [&sparks] { return sparks() > 0; })
        .then([] {
            SharedPtr<Frame> cover(new Frame);
            cover->set_up(CIIndependent(SkinPath("shell.black_frame")));
            game().frame_manager().push_frame(cover, Fade());
        })
        .then([&sparks, &after_pop] {
            game().frame_manager().pop_frame(nullptr, Fade());
            after_pop = sparks();
        })
        .wait_for("new sparks", [&sparks] { return sparks() > 0; })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(after_pop, 0);
}

TEST(TitleFlow, TheNameFollowsTheCurrentPlayer)
{
    GameDriver driver;
    at_menu(driver)
        .then([] { game().select_profile("bob"); })
        .wait_for("the new name", [] { return title_name_shown() == "Player: bob"; })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
}

TEST(TitleFlow, ALoadFrameWithNothingToLoadShowsItsBarAndGoes)
{
    GameDriver driver;
    auto frame = std::make_shared<SharedPtr<LoadFrame>>();
    int asked = 0;
    at_menu(driver)
        .then([frame, &asked] {
            *frame = SharedPtr<LoadFrame>(new LoadFrame([&asked](StrCache, const ResKey&) {
                ++asked;
                return false;
            }));
            (*frame)->set_up(CIIndependent(SkinPath("frames.load_frame")));
            game().frame_manager().push_frame(SharedPtr<Frame>(*frame), Fade(250, 250));
        })
        .wait_for("the load frame to go", [frame] { return !game().frame_manager().contains(frame->get()); })
        .then([frame, &asked] {
            EXPECT_GT(asked, 0);
            EXPECT_EQ((*frame)->progress().total(), 100);
            EXPECT_EQ((*frame)->progress().find_share(StrCache("common"))->value, 0);
        })
        .wait_for("the menu again", main_menu_ready)
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
}

TEST(TitleFlow, ClosingTheWindowWhileTheMenusLoadEndsTheGame)
{
    GameDriver driver;
    driver.skip_intro()
        .wait_for("the loading bar", [] { return top_frame_is<LoadFrame>(); }, 20000)
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(driver.log("error"), "");
}

}
}
