// The game's application: its services start in their order and stop in reverse.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/mainframe.h"
#include "game/shell/screens/title_frame.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

using testing::ElementsAre;

// The services named by the application log's lines "Service <name> <verb>.", in order.
std::vector<std::string> services(const std::string& log, const std::string& verb)
{
    std::vector<std::string> names;
    const std::regex line("Service (\\w+) " + verb + "\\.");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[1]);
    return names;
}

TEST(Vimo, StartsItsServicesInOrderAndStopsThemInReverse)
{
    GameDriver driver;
    driver.skip_intro().wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); }, 20000).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    const std::string log = driver.log("mainframe");
    EXPECT_THAT(services(log, "starting"), ElementsAre("res", "skin", "window", "audio", "dxdraw", "ui", "shell"));
    EXPECT_THAT(services(log, "stopping"), ElementsAre("shell", "ui", "dxdraw", "audio", "window", "skin", "res"));
    EXPECT_EQ(Mainframe::instance(), nullptr);
}

TEST(Vimo, TheCloseButtonAndAltF4EndTheGame)
{
    struct Case { const char* title; std::function<void(GameDriver&)> close; };
    const Case cases[] = {
        {"close button", [](GameDriver& driver) { driver.close_window(); }},
        {"Alt+F4", [](GameDriver& driver) { driver.press_key(SDLK_F4, KMOD_LALT); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        GameDriver driver;
        driver.skip_intro();
        c.close(driver);
        EXPECT_EQ(driver.run(), 0);
        EXPECT_EQ(driver.failure(), "");
        EXPECT_EQ(Mainframe::instance(), nullptr);
    }
}

}
}
