// The game's flow from the start, as a player meets it: the logos, then the title screen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/clock.h"
#include "game/shell/screens/intro_frame.h"
#include "game/shell/screens/title_frame.h"
#include "tests/base/manual_clock.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

using testing::HasSubstr;
using testing::Not;

// A logo closes by itself after 2500 ms; one skipped by the player goes well before.
constexpr std::int64_t logo_ms = 2500;

TEST(GameRun, EachLogoGivesWayToTheNextScreenAtAKeyOrAClick)
{
    struct Case { const char* title; std::function<void(GameDriver&)> skip; };
    const Case cases[] = {
        {"key", [](GameDriver& driver) { driver.press_key(SDLK_SPACE); }},
        {"click", [](GameDriver& driver) { driver.click({512, 384}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        // On the test's clock a busy machine cannot make a skipped logo look like one left
        // alone.
        ManualClock clock;
        GameDriver driver;
        Frame* logo = nullptr;
        std::int64_t shown = 0;
        std::vector<std::int64_t> lasted;
        // The next logo may well take the memory of the last one: only a logo that went counts.
        const auto logo_shows = [&] {
            if (!top_frame_is<IntroFrame>() || logo)
                return false;
            logo = top_frame();
            shown = time_ms();
            return true;
        };
        const auto logo_gone = [&] {
            if (top_frame() == logo)
                return false;
            lasted.push_back(time_ms() - shown);
            logo = nullptr;
            return true;
        };
        driver.wait_for("the first logo", logo_shows);
        c.skip(driver);
        driver.wait_for("the first logo to go", logo_gone).wait_for("the second logo", logo_shows);
        c.skip(driver);
        driver.wait_for("the second logo to go", logo_gone)
            .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
            .close_window();

        EXPECT_EQ(driver.run(), 0);
        EXPECT_EQ(driver.failure(), "");
        ASSERT_EQ(lasted.size(), 2u);
        for (std::int64_t ms : lasted)
            EXPECT_LT(ms, logo_ms);
    }
}

TEST(GameRun, LogosLeftAloneCloseByThemselves)
{
    GameDriver driver;
    std::int64_t started = 0;
    driver.wait_for("the first logo", [&] {
              started = time_ms();
              return top_frame_is<IntroFrame>();
          })
        .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); }, 20000)
        .then([&] { EXPECT_GE(time_ms() - started, 2 * logo_ms); })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
}

TEST(GameRun, EscapeOnTheTitleScreenEndsTheGame)
{
    GameDriver driver;
    driver.skip_intro()
        .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
        .pause(400)  // the intro's last fade
        .press_key(SDLK_ESCAPE);
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_THAT(driver.log("application"), HasSubstr("Shutdown done."));
    EXPECT_EQ(driver.log("error"), "");
}

}
}
