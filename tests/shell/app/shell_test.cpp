// The shell of the running game: the hider and idle holds, the wait modes and the window's
// activation and commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/ui/ui.h"
#include "game/shell/screens/title_frame.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

using testing::HasSubstr;

Game& game()
{
    return *Game::instance();
}

bool hider_shown()
{
    return game().hider().parent() == game().ui().root();
}

GameDriver& to_title(GameDriver& driver)
{
    return driver.skip_intro().wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); });
}

TEST(Shell, LosingTheFocusShowsTheHiderAndHoldsTheGameOnceUntilItComesBack)
{
    GameDriver driver;
    to_title(driver)
        .then([] {
            EXPECT_FALSE(hider_shown());
            EXPECT_EQ(game().idle_holds(), 0);
        })
        .window_event(SDL_WINDOWEVENT_FOCUS_LOST)
        .wait_for("the hider", hider_shown)
        .then([] {
            EXPECT_EQ(game().hider_holds(), 1);
            EXPECT_EQ(game().idle_holds(), 1) << "one source of activation: one hold";
        })
        .window_event(SDL_WINDOWEVENT_FOCUS_GAINED)
        .wait_for("the hider to go", [] { return !hider_shown(); })
        .then([] {
            EXPECT_EQ(game().hider_holds(), 0);
            EXPECT_EQ(game().idle_holds(), 0);
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
}

TEST(Shell, HoldsCountUpAndDownAndNeverBelowNought)
{
    GameDriver driver;
    to_title(driver)
        .then([] {
            Shell& shell = game();
            shell.show_hider();
            shell.show_hider();
            shell.hide_hider();
            EXPECT_TRUE(hider_shown()) << "one hold is left";
            EXPECT_EQ(shell.idle_holds(), 1);
            shell.hide_hider();
            EXPECT_FALSE(hider_shown());
            EXPECT_EQ(shell.idle_holds(), 0);

            // Unbalanced releases are logged and change nothing.
            shell.hide_hider();
            shell.release_idle();
            EXPECT_EQ(shell.hider_holds(), 0);
            EXPECT_EQ(shell.idle_holds(), 0);
            shell.hold_idle();
            EXPECT_EQ(shell.idle_holds(), 1) << "a hold after them counts from 0";
            shell.release_idle();
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_THAT(driver.log("error"), HasSubstr("Hider hidden without being shown. Ignored."));
    EXPECT_THAT(driver.log("error"), HasSubstr("Idle hold released without being held. Ignored."));
}

// Only mode 2 keeps the scheduler from sleeping; mode 1 (the game's) sleeps between its
// frames whatever the holds.
TEST(Shell, OnlyWaitModeTwoKeepsTheSchedulerAwake)
{
    struct Case { int mode; bool held; bool no_wait; };
    const Case cases[] = {
        {0, false, false}, {0, true, false}, {1, false, false}, {1, true, false}, {2, false, true}, {2, true, true},
    };
    GameDriver driver;
    to_title(driver).then([&] {
        Shell& shell = game();
        EXPECT_EQ(shell.wait_mode(), Shell::wait_paced);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "mode " << c.mode << (c.held ? " held" : ""));
            shell.set_wait_mode(c.mode);
            if (c.held)
                shell.hold_idle();
            EXPECT_EQ(Mainframe::no_wait(), c.no_wait);
            if (c.held)
                shell.release_idle();
            EXPECT_EQ(Mainframe::no_wait(), c.mode == 2);
        }
        shell.set_wait_mode(7);
        EXPECT_EQ(shell.wait_mode(), 2) << "an unknown mode is ignored";
        shell.set_wait_mode(Shell::wait_paced);
    })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
}

// The offscreen desktop is as large as the game's screen, so the window stays full screen;
// each Alt+Enter still asks the window for the other mode, which its log shows.
TEST(Shell, AltEnterAsksForTheOtherModeAndAltF4Closes)
{
    GameDriver driver;
    const auto mode_changes = [&driver] {
        const std::string log = driver.log("window");
        std::size_t count = 0;
        for (std::size_t at = log.find("- new mode:"); at != std::string::npos; at = log.find("- new mode:", at + 1))
            ++count;
        return count;
    };
    std::size_t before = 0;
    to_title(driver)
        .then([&] { before = mode_changes(); })
        .press_key(SDLK_RETURN, KMOD_LALT)
        .wait_for("a mode change", [&] { return mode_changes() == before + 1; })
        .press_key(SDLK_RETURN, KMOD_LALT)
        .wait_for("another mode change", [&] { return mode_changes() == before + 2; })
        .press_key(SDLK_F4, KMOD_LALT);
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "") << driver.log("window");
    EXPECT_THAT(driver.log("application"), HasSubstr("Shutdown done."));
}

}
}
