// The travel map in the real game, on a clock the test drives: its stages on the game's own
// catalogue, the play loop with mission outcomes the test chooses, the walk of the flag, the
// trophies, the in-game menu and the end of the game.
#include "game/shell/screens/progress_frame.h"

#include <deque>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/dialog.h"
#include "engine/ui/frame_manager.h"
#include "game/shell/screens/title_frame.h"
#include "tests/base/manual_clock.h"
#include "tests/shell/game_driver.h"
#include "tests/shell/route_chapters.h"

namespace kq::test {
namespace {

// A mission the test plays: it leaves the stack one scheduler step after it shows.
class StubMission : public Frame
{
public:
    void on_attached() override
    {
        Frame::on_attached();
        run_deferred(this, [this] {
            if (manager())
                manager()->pop_frame(this, Fade());
        });
    }
};

// The real game on a hand-driven clock (every sleep of the scheduler moves it on at once), with
// the travel map's missions and menu replaced by the test's. `start` pushes the map for the
// profile "Tester" once the title shows, after `setup` has placed the profile in the campaign.
class ProgressFrameTest : public testing::Test
{
protected:
    ProgressFrameTest()
    {
        screens.mission_frame = [this] {
            ++missions_played;
            SharedPtr<StubMission> mission(new StubMission);
            mission->set_up(CIIndependent(SkinPath("shell.black_frame")));
            return SharedPtr<Frame>(mission);
        };
        screens.outcome = [this](Frame&) {
            if (outcomes.empty())
                return GameState::running;
            const GameState outcome = outcomes.front();
            outcomes.pop_front();
            return outcome;
        };
        screens.events = [this](Control&, const Chapter&, const std::vector<MissionEvent>& events) {
            events_shown += int(events.size());
        };
    }

    static Game& game() { return *Game::instance(); }
    static Profile& player() { return *game().m_profile; }

    void start(const std::function<void(Profile&)>& setup, bool with_route = false)
    {
        driver.skip_intro()
            .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
            .then([this, setup, with_route] {
                if (with_route)
                    ensure_route_chapters(game().m_chapters, game().m_travel_path);
                game().select_profile("Tester");
                player().new_game(0, game().m_score_table);
                player().tips = false;  // no tip over the map: the test plays at once
                setup(player());
                frame = SharedPtr<ProgressFrame>(new ProgressFrame(screens));
                frame->set_up(CIIndependent(SkinPath("frames.progress_frame")));
                game().frame_manager().push_frame(SharedPtr<Frame>(frame), Fade(400, 300));
            });
    }

    bool play_shows() const
    {
        Button& play = frame->progress().play_button();
        return play.is_attached() && play.is_visible(play.state());
    }

    /// Waits until the map is ready to play the mission and takes input again; then Enter
    /// plays.
    GameDriver& wait_ready(const std::string& what, int chapter, int mission)
    {
        return driver.wait_for(what, [this, chapter, mission] {
            return player().chapter == chapter && player().mission == mission && play_shows() &&
                   !game().frame_manager().is_fading();
        });
    }

    /// Waits until the dialog of the node is open over the map and takes input.
    GameDriver& wait_dialog(const char* node)
    {
        return driver.wait_for(std::string("the dialog ") + node,
                               [this, node] { return open_dialog(node) && !game().frame_manager().is_fading(); });
    }

    /// The dialog of the node open over the map, or null.
    Dialog* open_dialog(const char* node) const
    {
        for (Control* child : frame->children())
            if (auto* dialog = dynamic_cast<Dialog*>(child); dialog && dialog->path().text() == node)
                return dialog;
        return nullptr;
    }

    void finish()
    {
        driver.close_window();
        EXPECT_EQ(driver.run(), 0);
        EXPECT_EQ(driver.failure(), "");
        EXPECT_EQ(driver.log("error"), "");
    }

    ManualClock clock;
    GameDriver driver;
    SharedPtr<ProgressFrame> frame;
    std::deque<GameState> outcomes;
    int missions_played = 0;
    int events_shown = 0;
    /// The game's own screens, with the missions, outcomes and events replaced.
    MapScreens screens = game_map_screens();
};

// Escape on the map opens its menu, once however often it is pressed while the menu is open.
TEST_F(ProgressFrameTest, EscapeOnTheMapOpensItsMenu)
{
    int menus = 0;
    screens.menu = [&](Control&) {
        ++menus;
        const std::int64_t opened = time_ms();
        Mainframe::run_while([&] { return time_ms() < opened + 500; });
        return dialog_result_cancel();
    };
    start([](Profile&) {});
    wait_ready("the map of the first mission", 1, 1)
        .press_key(SDLK_ESCAPE)
        .wait_for("the menu", [this] { return frame->menu_open(); })
        .press_key(SDLK_ESCAPE)
        .wait_for("the menu closed", [this] { return !frame->menu_open(); })
        .then([&] { EXPECT_EQ(menus, 1); });
    finish();
    EXPECT_EQ(missions_played, 0) << "Escape plays nothing";
}

TEST_F(ProgressFrameTest, AFailureReplaysTheMissionUntilNoLifeIsLeftThenTheChapterStartsAgain)
{
    start([](Profile&) {});
    wait_ready("the first mission", 1, 1)
        .then([this] {
            EXPECT_TRUE(player().pre_events_shown) << "arrived first";
            EXPECT_EQ(player().lives, 2);
            std::uint32_t mask = 0;
            std::uint32_t flags = 0;
            frame->get_view_flags(nullptr, mask, flags);
            EXPECT_EQ(mask & 0x100, 0x100u);
            EXPECT_EQ(flags & 0x100, 0u) << "the academy's look";
            outcomes = {GameState::fail, GameState::fail, GameState::fail};
        })
        .press_key(SDLK_RETURN)
        .step("the message of the lost chapter", [this] { return open_dialog("dialogs.game_failed") != nullptr; })
        .then([this] {
            // Two lives, two replays at once; the third failure has none left.
            EXPECT_EQ(missions_played, 3);
            EXPECT_EQ(player().lives, 0);
            EXPECT_FALSE(play_shows());
        });
    wait_dialog("dialogs.game_failed").press_key(SDLK_RETURN);
    wait_ready("the chapter again", 1, 1)
        .then([this] {
            EXPECT_EQ(player().chapter, 1);
            EXPECT_EQ(player().mission, 1);
            EXPECT_EQ(player().lives, 2);
            EXPECT_TRUE(game().frame_manager().contains(frame.get()));
            outcomes = {GameState::win};
        })
        .press_key(SDLK_RETURN);
    wait_ready("the academy's second mission", 1, 2).then([this] {
        EXPECT_EQ(missions_played, 4);
        EXPECT_EQ(player().mission, 2);
        EXPECT_EQ(player().lives, 2);
        EXPECT_TRUE(player().pre_events_shown);
        EXPECT_FLOAT_EQ(frame->distance(), 0.0f) << "the academy has no route";
    });
    finish();
}

TEST_F(ProgressFrameTest, AStageNotYetEnteredNeverRunsOnceTheMapHasLeft)
{
    start([](Profile& profile) {
        profile.chapter = 2;
        profile.mission = 1;
    });
    // Shown and taken off again before the scheduler's next step: the arrival it posted goes
    // with it.
    driver.then([this] { game().frame_manager().pop_frame(frame.get(), Fade()); })
        .pause(500)
        .then([this] {
            EXPECT_FALSE(frame->is_attached());
            EXPECT_FALSE(player().pre_events_shown) << "the arrival ran";
            EXPECT_EQ(events_shown, 0);
        });
    finish();
}

TEST_F(ProgressFrameTest, WinningTheLastMissionCompletesTheGameAndLeavesTheMap)
{
    int last_chapter = 0;
    start([&last_chapter](Profile& profile) {
        last_chapter = int(game().m_chapters.size());
        profile.chapter = last_chapter;
        profile.mission = int(game().m_chapters.at(last_chapter).missions.size());
        profile.pre_events_shown = true;
        profile.score = 7000;
    });
    driver.step("the map ready at the last mission", [this] { return play_shows() && !game().frame_manager().is_fading(); })
        .then([this] {
            EXPECT_EQ(events_shown, 0) << "the pre-events were shown before the game was saved";
            outcomes = {GameState::win};
        })
        .press_key(SDLK_RETURN);
    wait_dialog("dialogs.game_completed")
        .then([this, &last_chapter] { EXPECT_EQ(player().chapter, last_chapter) << "the message comes first"; })
        .press_key(SDLK_RETURN)
        .wait_for("the map to leave", [this] { return !game().frame_manager().contains(frame.get()); })
        .then([this] {
            EXPECT_FALSE(player().has_game());
            EXPECT_EQ(game().m_score_table.at("Tester"), 7000);
            EXPECT_FALSE(frame->is_attached());
        })
        .pause(500)
        .then([this] { EXPECT_TRUE(top_frame_is<TitleFrame>()) << "no stage of the map runs once it has gone"; });
    finish();
}

TEST_F(ProgressFrameTest, TheFlagWalksToTheNextChapterAt25UnitsASecondAndTheMenuPausesItWithoutAJump)
{
    constexpr std::int64_t menu_ms = 1000;
    std::vector<std::pair<std::int64_t, float>> walk;  // time, distance
    std::int64_t menu_opened = -1;
    std::int64_t menu_closed = -1;
    screens.menu = [&](Control&) {
        menu_opened = time_ms();
        Mainframe::run_while([&] { return time_ms() < menu_opened + menu_ms; });
        menu_closed = time_ms();
        return dialog_result_cancel();
    };
    float from = 0.0f;
    float to = 0.0f;
    start(
        [&](Profile& profile) {
            const Chapter& meadow = game().m_chapters.at(2);
            profile.chapter = 2;
            profile.mission = int(meadow.missions.size());
            profile.chapter_quality = meadow.quality_target;
            from = meadow.missions.rbegin()->second.distance;
            to = game().m_chapters.at(3).missions.at(1).distance;
        },
        true);
    const auto record = [&] {
        if (player().chapter != 3)
            return;
        walk.emplace_back(time_ms(), frame->distance());
        const Vector2<float> on_route = game().m_travel_path.value(frame->distance());
        EXPECT_EQ(frame->flag().position(), on_route) << "at " << frame->distance();
    };
    const auto menu_button = [this] {
        Button& button = frame->top().menu_button();
        Vector2<int> centre{button.size().x / 2, button.size().y / 2};
        button.client_to_screen(centre);
        return centre;
    };
    driver.step("the map ready at the end of chapter 2", [this] { return play_shows() && !game().frame_manager().is_fading(); })
        .then([&] {
            EXPECT_EQ(player().mission, int(game().m_chapters.at(2).missions.size()));
            EXPECT_EQ(frame->distance(), from);
            EXPECT_TRUE(frame->trophies().empty());
            outcomes = {GameState::win};
        })
        .press_key(SDLK_RETURN)
        .step("the walk under way with the input free", [&] {
            record();
            return player().chapter == 3 && frame->distance() > from && !game().frame_manager().is_fading();
        })
        .click(menu_button)
        .step("the walk to its end", [&] {
            record();
            return frame->distance() >= to && !frame->menu_open();
        }, 30000)
        .wait_for("the first mission of chapter 3", [this] { return play_shows(); })
        .then([&] {
            EXPECT_EQ(player().mission, 1);
            EXPECT_EQ(frame->distance(), to) << "the flag stands on the mission";
            EXPECT_TRUE(player().trophies[2]);
            EXPECT_EQ(frame->trophies().count(2), 1u) << "the trophy shows";
        });
    finish();

    ASSERT_GT(menu_opened, 0) << "the menu opened during the walk";
    ASSERT_GT(walk.size(), 100u);
    // The flag moves at 25 units a second between any two looks at it, give or take the
    // 10 ms between two steps of the walk; it stands while the menu is open; and after the
    // menu it goes on from where it stood, so the menu's time is never made up.
    const auto outside_menu = [&](std::int64_t t) { return t < menu_opened || t > menu_closed + 10; };
    std::size_t before = 0;
    std::size_t after = 0;
    for (std::size_t i = 0; i + 1 < walk.size(); ++i) {
        const auto [t0, d0] = walk[i];
        const auto [t1, d1] = walk[i + 1];
        if (outside_menu(t0) && outside_menu(t1) && d1 < to) {
            EXPECT_NEAR(d1 - d0, float(t1 - t0) * 0.025f, 0.26f) << "at " << t0;
        }
        if (t0 > menu_opened + 10 && t1 < menu_closed) {
            EXPECT_EQ(d1, d0) << "the menu is open at " << t1;
        }
        if (t0 < menu_opened)
            before = i;
        if (t0 <= menu_closed + 10)
            after = i + 1;
    }
    const auto [t_before, d_before] = walk[before];
    const auto [t_after, d_after] = walk[after];
    EXPECT_NEAR(d_after - d_before, float(t_after - t_before - menu_ms) * 0.025f, 0.52f);
}


}
}
