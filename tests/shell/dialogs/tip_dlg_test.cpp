// The tip dialog on the game's own data tree, on a clock the test drives: the arrow's corner,
// turn and travel, and any press closing the page.
#include "game/shell/dialogs/tip_dlg.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "engine/art/interpolate_controller.h"
#include "engine/ui/control_initer.h"
#include "tests/shell/dialog_fixture.h"

namespace kq::test {
namespace {

class TipDlgTest : public DialogTest
{
protected:
    TipDlgTest() { dialog.set_up(CIIndependent(SkinPath("dialogs.tip"))); }
    ~TipDlgTest() override { dialog.detach(); }

    TipDlg dialog;
};

TEST_F(TipDlgTest, TheArrowStandsAtItsCornerTurnedAwayAndTravelsTowardsTheDialog)
{
    struct Case
    {
        int corner;
        Vector2<float> position;
        float degrees;
        Vector2<float> travel;
    };
    const float w = 360.0f;
    const float h = 160.0f;
    const float d = 15.556f;
    for (const Case& c : {Case{0, {w, h}, 45, {-d, -d}}, Case{1, {0, h}, 135, {d, -d}}, Case{2, {0, 0}, 225, {d, d}},
                          Case{3, {w, 0}, 315, {-d, d}}}) {
        dialog.set_arrow(c.corner);
        const ImageSprite& arrow = dialog.arrow();
        EXPECT_EQ(arrow.hidden(), 0) << c.corner;
        EXPECT_EQ(arrow.position(), c.position) << c.corner;
        EXPECT_NEAR(arrow.rotation(), c.degrees * std::numbers::pi_v<float> / 180.0f, 1e-5f) << c.corner;
        auto* shift = dialog.arrow().find_child<ShiftController>();
        ASSERT_NE(shift, nullptr);
        EXPECT_NEAR(shift->end_value().x, c.travel.x, 1e-3f) << c.corner;
        EXPECT_NEAR(shift->end_value().y, c.travel.y, 1e-3f) << c.corner;
        EXPECT_EQ(shift->start_value(), (Vector2<float>{0, 0}));
        EXPECT_EQ(shift->applied_offset(), (Vector2<float>{0, 0}));
    }
    // A centred page has no arrow; the next page with a corner shows it again.
    dialog.set_arrow(TipDlg::no_arrow);
    EXPECT_EQ(dialog.arrow().hidden(), 1);
    dialog.set_arrow(2);
    EXPECT_EQ(dialog.arrow().hidden(), 0);
}

TEST_F(TipDlgTest, AnyPressClosesThePageAndAReleaseDoesNot)
{
    struct Case
    {
        Key key;
        KeyState state;
        bool closes;
    };
    for (const Case& c : {Case{key_space, state_up, false}, Case{key_mouse_left, state_up, false},
                          Case{key_space, state_down, true}, Case{key_mouse_left, state_down, true}}) {
        Control::attach_to_parent(&dialog, &root());
        ui().on_mouse_move({20, 20});
        ui().on_key(c.key, c.state);
        EXPECT_EQ(!dialog.is_attached(), c.closes) << int(c.key) << " " << int(c.state);
        if (c.closes) {
            EXPECT_EQ(dialog.result(), dialog_result_ok());
        }
        dialog.detach();
    }
}

}
}
