// The tips as a player meets them: the real game on the offscreen driver, its tips asked for
// from the script's steps, pages closed by pushed input. A tip shows once per player, queues
// behind another, sits in its point's quarter with the arrow at the nearest corner, and
// "hide" turns the player's tips off, saved.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>

#include "engine/art/text_sprite.h"
#include "engine/ui/ui.h"
#include "game/shell/app/game.h"
#include "game/shell/dialogs/tip_dlg.h"
#include "game/shell/progress/save_data.h"
#include "game/shell/screens/title_frame.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Game& game() { return *Game::instance(); }
TipDlg& tip() { return game().tip_dialog(); }
bool tip_shown() { return tip().is_attached(); }
std::string tip_text()
{
    std::string text;
    tip().get_variable("tip", text);
    return text;
}

GameDriver& at_title_as(GameDriver& driver, const char* player)
{
    return driver.skip_intro()
        .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
        .then([player] {
            game().select_profile(player);
            game().delete_profile("Player");  // the first start's player makes way
        });
}

bool saved_has_tip(const std::string& dir, const char* player, const char* name)
{
    SaveData saved;
    read_save_data(read_bytes(dir + "game.cfg"), saved);
    for (const Profile& profile : saved.profiles)
        if (profile.name == player)
            return profile.shown_tips.count(StrCache(name)) != 0;
    return false;
}

TEST(GameTips, ShowOncePerPlayerQueueBehindEachOtherAndHoldTheIdle)
{
    GameDriver driver;
    int holds_before = 0;
    at_title_as(driver, "ann")
        .then([&] {
            // Without a permit nothing happens, not even the marking.
            game().show_tip(StrCache("game1"), {-1, -1});
            EXPECT_FALSE(tip_shown());
            EXPECT_EQ(game().m_profile->shown_tips.count(StrCache("game1")), 0u);

            holds_before = game().idle_holds();
            game().allow_tips(true);
            game().show_tip(StrCache("game1"), {-1, -1});
            game().show_tip(StrCache("game2"), {-1, -1});
            game().show_tip(StrCache("game1"), {-1, -1});
        })
        .wait_for("the first page", [] { return tip_shown(); })
        .then([&] {
            EXPECT_EQ(game().tip_pages().size(), 2u) << "the second tip waits, the first is asked once";
            EXPECT_EQ(game().idle_holds(), holds_before + 1);
            EXPECT_EQ(tip().x_snap(), XSnap::center);
            EXPECT_EQ(tip().y_snap(), YSnap::center);
            EXPECT_EQ(tip().arrow().hidden(), 1) << "a centred page has no arrow";
            EXPECT_TRUE(saved_has_tip(driver.app_dir(), "ann", "game1")) << "marked and saved at once";
            const std::u16string& shown =
                dynamic_cast<TextSprite*>(tip().sprite()->find(StrCache("text"), false))->display_text();
            EXPECT_EQ(std::string(shown.begin(), shown.begin() + 11), "Tip: Press ");
        })
        .press_key(SDLK_SPACE)
        .wait_for("the second page", [] { return tip_shown() && tip_text().find("both burst") != std::string::npos; })
        .then([&] { EXPECT_EQ(game().tip_pages().size(), 1u); })
        .click({512 + 180 - 54, 384 + 80 - 22 + 8})  // its "ok"
        .wait_for("no page", [] { return !tip_shown() && game().tip_pages().empty(); })
        .then([&] { EXPECT_EQ(game().idle_holds(), holds_before); })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");

    // After a restart the tip stays seen for that player, not for another.
    GameDriver again;
    std::filesystem::create_directories(again.app_dir());
    std::ofstream(again.app_dir() + "game.cfg", std::ios::binary) << read_bytes(driver.app_dir() + "game.cfg");
    at_title_as(again, "ann")
        .then([] {
            game().allow_tips(true);
            game().show_tip(StrCache("game1"), {-1, -1});
            EXPECT_FALSE(tip_shown());
            game().select_profile("bob");
            game().show_tip(StrCache("game1"), {-1, -1});
        })
        .wait_for("bob's page", [] { return tip_shown(); })
        .close_window();
    EXPECT_EQ(again.run(), 0);
    EXPECT_EQ(again.failure(), "");
}

TEST(GameTips, APageSitsInItsPointsQuarterWithTheArrowAtTheNearestCorner)
{
    struct Case
    {
        Vector2<int> point;
        XSnap x_snap;
        YSnap y_snap;
        Vector2<int> offset;
        int corner;
    };
    // The screen is 1024 x 768; a point on the middle line counts as the right or lower half.
    const Case cases[] = {
        {{100, 500}, XSnap::left, YSnap::bottom, {166, 334}, 1},
        {{100, 100}, XSnap::left, YSnap::top, {166, 166}, 2},
        {{512, 100}, XSnap::right, YSnap::top, {578, 166}, 3},
        {{900, 384}, XSnap::right, YSnap::bottom, {190, 450}, 0},
    };
    const char* names[] = {"combo_chain", "combo_fast", "combo_trail", "combo_long"};
    GameDriver driver;
    at_title_as(driver, "ann").then([] { game().allow_tips(true); });
    for (int i = 0; i < 4; ++i) {
        const Case c = cases[i];
        driver.then([c, name = names[i]] { game().show_tip(StrCache(name), c.point); })
            .wait_for("the page", [] { return tip_shown(); })
            .then([c] {
                EXPECT_EQ(tip().x_snap(), c.x_snap) << c.point.x << "," << c.point.y;
                EXPECT_EQ(tip().y_snap(), c.y_snap) << c.point.x << "," << c.point.y;
                EXPECT_EQ(tip().offset(), c.offset) << c.point.x << "," << c.point.y;
                const float turn = float(c.corner) * std::numbers::pi_v<float> / 2 + std::numbers::pi_v<float> / 4;
                EXPECT_NEAR(tip().arrow().rotation(), turn, 1e-5f) << c.point.x << "," << c.point.y;
            })
            .press_key(SDLK_SPACE)
            .wait_for("the page closed", [] { return !tip_shown() && game().tip_pages().empty(); });
    }
    driver.close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
}

TEST(GameTips, HideTurnsThePlayersTipsOffAndLaterTipsAreOnlyMarked)
{
    GameDriver driver;
    at_title_as(driver, "ann")
        .then([] {
            game().allow_tips(true);
            game().show_tip(StrCache("game1"), {-1, -1});
            game().show_tip(StrCache("game2"), {-1, -1});
        })
        .wait_for("the page", [] { return tip_shown(); })
        .click({512 - 180 + 16 + 16, 384 - 80 + 116 + 16})  // "hide"
        .wait_for("hide checked", [] { return tip().hide_box().is_checked(); })
        .click({512 + 180 - 54, 384 + 80 - 22 + 8})  // "ok"
        .wait_for("the queue dropped", [] { return !tip_shown() && game().tip_pages().empty(); })
        .then([&] {
            EXPECT_FALSE(game().m_profile->tips);
            SaveData saved;
            read_save_data(read_bytes(driver.app_dir() + "game.cfg"), saved);
            ASSERT_EQ(saved.profiles.size(), 1u);
            EXPECT_FALSE(saved.profiles.front().tips) << "saved";

            // Tips off: asked tips are marked and saved, nothing shows.
            game().show_tip(StrCache("combo_chain"), {100, 100});
            EXPECT_FALSE(tip_shown());
            EXPECT_TRUE(saved_has_tip(driver.app_dir(), "ann", "combo_chain"));

            // A tip without pages is logged and marked.
            game().m_profile->tips = true;
            game().show_tip(StrCache("no_such_tip"), {100, 100});
            EXPECT_FALSE(tip_shown());
            EXPECT_EQ(game().m_profile->shown_tips.count(StrCache("no_such_tip")), 1u);
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_NE(driver.log("error").find("Tip no_such_tip is absent."), std::string::npos);
}

}
}
