// The travel map in the real game, on a clock the test drives: its stages on the game's own
// catalogue, the play loop with mission outcomes the test chooses, the walk of the flag, the
// trophies, the in-game menu and the end of the game.
#include "game/shell/progress_frame.h"

#include <deque>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/dialog.h"
#include "engine/ui/frame_manager.h"
#include "game/shell/title_frame.h"
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
    ProgressFrameTest() : m_saved(ProgressFrame::screens())
    {
        ProgressFrame::Screens& screens = ProgressFrame::screens();
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
    ~ProgressFrameTest() override { ProgressFrame::screens() = m_saved; }

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
                setup(player());
                frame = SharedPtr<ProgressFrame>(new ProgressFrame);
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

private:
    ProgressFrame::Screens m_saved;
};

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

}
}
