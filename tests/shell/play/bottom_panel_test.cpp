#include "game/shell/play/bottom_panel.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/ui/control_initer.h"
#include "game/field/idols/creation_idol.h"
#include "tests/art/art_tree_support.h"
#include "tests/field/vimu_fixture.h"
#include "tests/platform/recording_artist.h"
#include "tests/shell/panel_fixture.h"

namespace kq::test {
namespace {

class BottomPanelTest : public PanelTest
{
protected:
    BottomPanelTest()
    {
        panel.set_up(CIIndependent(SkinPath("panels.bottom")));
        Control::attach_to_parent(&panel, &root());
    }
    ~BottomPanelTest() override { panel.detach(); }

    static bool hidden(const Control& control) { return (control.state() & Control::state_hidden) != 0; }

    BottomPanel panel;
};

TEST_F(BottomPanelTest, TheModeShowsGoOrCancelOrNeither)
{
    EXPECT_TRUE(hidden(panel.go_button()) && hidden(panel.cancel_button())) << "as the skin says";
    struct Case
    {
        int mode;
        bool go_hidden, cancel_hidden;
    };
    for (const Case c : {Case{1, false, true}, Case{1, false, true}, Case{2, true, false}, Case{0, true, true},
                         Case{3, true, true}, Case{2, true, false}}) {
        panel.set_mode(c.mode);
        EXPECT_EQ(hidden(panel.go_button()), c.go_hidden) << c.mode;
        EXPECT_EQ(hidden(panel.cancel_button()), c.cancel_hidden) << c.mode;
    }
}

TEST_F(BottomPanelTest, GoAndCancelReportWithinTheClickEvenWithoutAField)
{
    std::vector<BottomPanelButton> heard;
    panel.on_action().connect([&](BottomPanelButton button) { heard.push_back(button); }, this);
    panel.set_mode(1);
    click_at({910 + 20, 704 + 20});
    panel.set_mode(2);
    click_at({910 + 20, 704 + 20});
    EXPECT_EQ(heard, (std::vector<BottomPanelButton>{BottomPanelButton::apply, BottomPanelButton::undo}));
}

TEST_F(BottomPanelTest, TheReserveShowsTheIdolsTurnsUntilNoneAreLeft)
{
    std::unique_ptr<Field> field = first_mission();
    panel.set_field(field.get());
    auto* idol = dynamic_cast<CreationIdol*>(field->idols().at(0).get());
    ASSERT_NE(idol, nullptr);
    const std::size_t with_field = vertices_drawn(panel);
    EXPECT_EQ(panel.reserve_text().text(), "10");

    // Each digit of the number is a quad of the font.
    constexpr std::size_t digit = 4;
    while (idol->production_turns() > 1)
        idol->turn_end();
    EXPECT_EQ(vertices_drawn(panel), with_field - digit);
    EXPECT_EQ(panel.reserve_text().text(), "1");
    idol->turn_end();
    EXPECT_EQ(vertices_drawn(panel), with_field - 2 * digit)
        << "the absent image stands for the piece image, and no number is drawn";
    EXPECT_EQ(panel.reserve_text().text(), "1") << "no reserve left: the number keeps its last text, undrawn";
}

TEST_F(BottomPanelTest, WithoutAFieldOnlyItsOwnLookDraws_AndAFieldThatGoesIsForgotten)
{
    const std::size_t own = vertices_drawn(panel);
    {
        std::unique_ptr<Field> field = first_mission();
        panel.set_field(field.get());
        EXPECT_GT(vertices_drawn(panel), own) << "the frame image and the reserve";
    }
    EXPECT_EQ(panel.field(), nullptr);
    EXPECT_EQ(vertices_drawn(panel), own);
    draw_frame();
}

// Bonus badges from a small mission whose bonuses carry a marker tile at their badge's
// origin, so where each badge draws can be read off the recorded vertices.
const char* const badge_missions = R"(
    badges : mission_keys {
        bonuses {
            vimoes_per_bonus 10
            splinter <bonus> : bonus_keys { number_on_panel 0 sprite_on_panel : badge { } }
            cost_3x <bonus> : bonus_keys { number_on_panel 1 sprite_on_panel : badge { } }
            shock_wave <bonus> : bonus_keys { number_on_panel 2 sprite_on_panel : badge { } }
            accuracy <bonus> : bonus_keys { number_on_panel 1 sprite_on_panel : badge { } }
        }
    }
)";

const char* const badge_panel = R"(
    badge : sprite_keys {
        size [(40, 20)]
        mark <child> "class kq::test::Tile" : sprite_keys { size [(1, 1)] inherit 64 }
    }
    control_keys { x 0 y 0 z 0 sx 100 sy 50 x_snap left y_snap top sx_snap absolute sy_snap absolute
        z_snap normal hidden false disabled false transparency none dblclicks false hw_cursor ""
        sw_cursor "" sprite "" }
    panel : control_keys {
        reserve : text_keys { } vimoes : image_keys { } vimoes_absent : image_keys { }
        left_frame : image_keys { } bonuses_pos [(100, 7)] mission_name : text_keys { }
        go : control_keys { keys [{ }] help "" } cancel : control_keys { keys [{ }] help "" }
    }
)";

TEST(BottomPanelBadges, BadgesSitInARowOverlappingByThreePixelsAndShowTheirCounts)
{
    register_test_sprites();
    PieceField setup({}, badge_missions, "badges", badge_panel);
    Field& field = setup.field;
    BottomPanel panel;
    panel.set_up(CIIndependent(SkinPath("panel")));
    panel.set_field(&field);
    RecordingArtist recorder;
    // The x of each marker drawn, in order: the quads one pixel wide.
    const auto marks = [&] {
        recorder.batches.clear();
        recorder.begin_scene();
        panel.draw(recorder);
        recorder.end_scene();
        std::vector<float> xs;
        for (const RecordedBatch& batch : recorder.batches)
            for (std::size_t v = 0; v + 1 < batch.vertices.size(); v += 4)
                if (batch.vertices[v + 1].x - batch.vertices[v].x == 1.0f)
                    xs.push_back(batch.vertices[v].x);
        return xs;
    };
    EXPECT_TRUE(marks().empty()) << "no active bonus, no badge";

    field.add_bonus_count(Bonus::splinter, 2);
    field.add_bonus_count(Bonus::cost_3x, 1);
    field.add_bonus_count(Bonus::shock_wave, 5);
    EXPECT_EQ(marks(), (std::vector<float>{100, 137, 174}));
    std::string count;
    ASSERT_TRUE(field.bonus_settings(Bonus::shock_wave)->sprite_on_panel.query_data("count", count));
    EXPECT_EQ(count, "5");

    field.expire_bonuses(BonusEnd::on_shot);
    EXPECT_EQ(marks(), (std::vector<float>{100, 174})) << "a count of 1 went";
    field.bonus_settings(Bonus::splinter)->sprite_on_panel.query_data("count", count);
    EXPECT_EQ(count, "1") << "the count is read at every draw";

    field.add_bonus_count(Bonus::accuracy, 3);
    field.add_bonus_count(Bonus::cost_3x, 2);
    EXPECT_EQ(marks(), (std::vector<float>{100, 137, 174, 137})) << "by bonus id: the higher one over the other";
    field.add_bonus_count(Bonus::magnetic, 1);
    EXPECT_EQ(marks().size(), 4u) << "a bonus without settings shows no badge";
}

}
}
