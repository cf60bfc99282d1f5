#include "game/shell/play/top_panel.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/log.h"
#include "engine/ui/control_initer.h"
#include "tests/base/log_capture.h"
#include "tests/res/test_skin_environment.h"
#include "tests/shell/panel_fixture.h"

namespace kq::test {
namespace {

FieldSettings record(int lives, int score, std::array<int, 5> powerups)
{
    FieldSettings out;
    out.values = {lives, score};
    out.m_powerups = powerups;
    return out;
}

class TopPanelTest : public PanelTest
{
protected:
    TopPanelTest()
    {
        panel.set_up(CIIndependent(SkinPath("panels.top")));
        Control::attach_to_parent(&panel, &root());
    }
    ~TopPanelTest() override { panel.detach(); }

    /// Which powerup buttons show, in powerup order.
    std::vector<bool> shown() const
    {
        std::vector<bool> out;
        for (int i = 0; i < TopPanel::powerup_count; ++i)
            out.push_back((panel.powerup_control(i)->state() & Control::state_hidden) == 0);
        return out;
    }

    TopPanel panel;
};

TEST_F(TopPanelTest, ARecordShowsTheButtonsOfThePowerupsHeldOnTheirOwnPlaces)
{
    panel.set_record(record(3, 0, {1, 0, 4, 0, 2}), true);
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, true, false, true}));
    for (int i : {0, 2, 4}) {
        PowerupControl& control = *panel.powerup_control(i);
        EXPECT_EQ(control.parent(), &panel);
        EXPECT_EQ(control.offset(), (Vector2<int>{420 + i * 56, 4})) << "places do not close up: " << i;
    }
    std::string count;
    ASSERT_TRUE(panel.powerup_control(2)->get_variable("count", count));
    EXPECT_EQ(count, "4");

    panel.set_record(record(3, 0, {1, 1, 0, 0, 2}), true);
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, false, false, true})) << "a changed count shows or hides its button";
    EXPECT_EQ(panel.powerup_control(1)->offset(), (Vector2<int>{476, 4}));
}

TEST_F(TopPanelTest, TheHighlightedPowerupAloneShowsAndSlidesToTheRowsOrigin)
{
    panel.set_record(record(3, 0, {1, 2, 3, 1, 1}), true);
    panel.set_highlight(2);
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(panel.powerup_control(2)->offset(), (Vector2<int>{532, 4})) << "the slide starts on its place";
    draw_frame(150);
    const int halfway = panel.powerup_control(2)->offset().x;
    EXPECT_LT(halfway, 532);
    EXPECT_GT(halfway, 420);
    draw_frame(160);
    EXPECT_EQ(panel.powerup_control(2)->offset(), (Vector2<int>{420, 4})) << "300 ms later it stands at the origin";

    panel.set_highlight(-1);
    EXPECT_EQ(shown(), (std::vector<bool>(5, true)));
    for (int i = 0; i < TopPanel::powerup_count; ++i)
        EXPECT_EQ(panel.powerup_control(i)->offset(), panel.powerup_place(i)) << "straight back: " << i;
}

TEST_F(TopPanelTest, AnotherHighlightDuringTheSlideStopsTheFirstSlide)
{
    panel.set_record(record(3, 0, {1, 2, 3, 1, 1}), true);
    panel.set_highlight(2);
    draw_frame(100);
    const Vector2<int> stopped = panel.powerup_control(2)->offset();
    panel.set_highlight(4);
    draw_frame(300);
    EXPECT_EQ(panel.powerup_control(2)->offset(), stopped) << "the first slide no longer runs";
    EXPECT_EQ(panel.powerup_control(4)->offset(), (Vector2<int>{420, 4}));
}

TEST_F(TopPanelTest, TheScoreRunsToItsValueUnlessImmediate)
{
    panel.set_record(record(3, 1000, {}), true);
    draw_frame();
    EXPECT_EQ(panel.score_text().text(), "1000") << "immediate shows at once";

    panel.set_record(record(3, 2000, {}), false);
    draw_frame();
    EXPECT_EQ(panel.score_text().text(), "1000") << "the draw that sees the change shows the old value";
    draw_frame(250);
    const int running = panel.shown_score();
    EXPECT_GT(running, 1000);
    EXPECT_LT(running, 2000);
    draw_frame(250);
    EXPECT_EQ(panel.score_text().text(), "2000") << "500 ms after the change";
}

TEST_F(TopPanelTest, TheFillBarShowsTheWayThroughTheUpgradeLevelOfTheScoreShown)
{
    // The first level costs 50000, the second 80000 more.
    struct Case
    {
        int score;
        float width;
    };
    for (const Case c : {Case{25000, 80}, Case{50000, 0}, Case{90000, 80}, Case{0, 0}}) {
        panel.set_record(record(3, c.score, {}), true);
        draw_frame();
        draw_frame();
        EXPECT_FLOAT_EQ(panel.score_fill().size().x, c.width) << c.score;
        EXPECT_EQ(panel.score_fill().size().y, 10.0f);
    }
    EXPECT_EQ(panel.fill_width(), 160.0f);
}

TEST_F(TopPanelTest, ClicksEmitTheFourSignalsInAStepAfterTheClick)
{
    std::vector<std::string> heard;
    panel.on_menu().connect([&] { heard.push_back("menu"); }, this);
    panel.on_apply().connect([&] { heard.push_back("apply"); }, this);
    panel.on_undo().connect([&] { heard.push_back("undo"); }, this);
    panel.on_powerup().connect([&](Powerup p) { heard.push_back("powerup " + std::to_string(int(p))); }, this);
    panel.set_record(record(3, 0, {1, 1, 1, 1, 1}), true);
    panel.show_apply(true);
    panel.show_undo(true);

    click_at({962 + 10, 10 + 10});
    EXPECT_TRUE(heard.empty()) << "nothing within the click";
    run_deferred_handlers();
    click_at({860 + 10, 20});
    click_at({910 + 10, 20});
    click_at({120 + 420 + 3 * 56 + 10, 20});
    run_deferred_handlers(3);
    EXPECT_EQ(heard, (std::vector<std::string>{"menu", "apply", "undo", "powerup 3"}));
}

TEST_F(TopPanelTest, ShowApplyAndUndoChangeOnlyTheirHiddenBits)
{
    EXPECT_TRUE(panel.apply_control().state() & Control::state_hidden) << "the skin hides them";
    panel.show_apply(true);
    panel.show_undo(true);
    EXPECT_FALSE(panel.apply_control().state() & Control::state_hidden);
    EXPECT_FALSE(panel.undo_control().state() & Control::state_hidden);
    panel.show_undo(false);
    EXPECT_TRUE(panel.undo_control().state() & Control::state_hidden);
}

TEST_F(TopPanelTest, LivesAndMovesDrawOneIconEach)
{
    // The vertices the panel draws for lives and moves.
    const auto vertices = [&](int lives, int moves) {
        panel.set_record(record(lives, 0, {}), true);
        panel.set_moves(moves);
        return vertices_drawn(panel);
    };
    const std::size_t none = vertices(0, 0);
    const std::size_t quad = vertices(1, 0) - none;
    ASSERT_GT(quad, 0u);
    struct Case
    {
        int lives, moves;
    };
    for (const Case c : {Case{3, 0}, Case{0, 5}, Case{2, 4}})
        EXPECT_EQ(vertices(c.lives, c.moves) - none, quad * std::size_t(c.lives + c.moves))
            << c.lives << " lives, " << c.moves << " moves";
}

TEST_F(TopPanelTest, DetachingTakesThePowerupButtonsAlong)
{
    panel.detach();
    for (int i = 0; i < TopPanel::powerup_count; ++i) {
        EXPECT_EQ(panel.powerup_control(i)->parent(), nullptr);
        EXPECT_THAT(panel.children(), testing::Not(testing::Contains(panel.powerup_control(i))));
    }
    Control::attach_to_parent(&panel, &root());
    EXPECT_EQ(panel.children().size(), 8u) << "apply, undo, menu and the five buttons, each once";
}

TEST(TopPanelSkin, AnyOtherNumberOfPowerupChildrenThanFiveIsASkinErrorNamingTheNode)
{
    for (const char* name : {"four", "six"}) {
        TestSkinEnvironment skin(std::string(R"(
            keys { x 0 y 0 z 0 sx 10 sy 10 x_snap left y_snap top sx_snap absolute sy_snap absolute
                   z_snap normal hidden false disabled false transparency none dblclicks false
                   hw_cursor "" sw_cursor "" sprite "" }
            button : keys { keys [{ }] help "" }
            image { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(1, 1)] rotation 0
                    scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs
                    blend_type 0 tex_adress 0 inherit 0 texture "" placement texel tbegin [(0, 0)]
                    tsize [(1, 1)] secondary_texture "" secondary_placement texel
                    secondary_tbegin [(0, 0)] secondary_tsize [(1, 1)] }
            text { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(1, 1)] rotation 0
                   scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs
                   blend_type 0 tex_adress 0 inherit 0 font "" text "" valign top halign left brilliance 0 }
            powerup : keys { blinker "" }
            four : keys {
                life : image {} life_origin [(0, 0)] score : text {} score_fill : image {}
                powerups_origin [(0, 0)] move : image {}
                apply : powerup {} undo : powerup {} menu : button {}
                a <powerup> : powerup {} b <powerup> : powerup {} c <powerup> : powerup {} d <powerup> : powerup {}
            }
            six : four { e <powerup> : powerup {} f <powerup> : powerup {} }
        )"));
        TopPanel panel;
        const std::string error = error_of([&] { panel.set_up(CIIndependent(SkinPath(name))); });
        EXPECT_THAT(error, testing::HasSubstr(std::string("node [") + name + "]")) << name;
        EXPECT_THAT(error, testing::HasSubstr("not 5")) << name;
    }
}

}
}
