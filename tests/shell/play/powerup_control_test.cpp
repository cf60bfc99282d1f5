#include "game/shell/play/powerup_control.h"

#include <gtest/gtest.h>

#include "tests/shell/panel_fixture.h"

namespace kq::test {
namespace {

class PowerupControlTest : public PanelTest
{
protected:
    PowerupControlTest()
    {
        ui().on_mouse_move({500, 500});
        control.set_skin_path(SkinPath("panels.top.clock"));
        Control::attach_to_parent(&control, &root());
        image = control.sprite()->find(StrCache("image"), false);
    }
    ~PowerupControlTest() override { control.detach(); }

    PowerupControl control;
    Sprite* image = nullptr;
};

TEST_F(PowerupControlTest, TheImageBlinksWhileTheMouseIsOverTheControl)
{
    ASSERT_NE(image, nullptr);
    ASSERT_NE(control.blinker(), nullptr);
    EXPECT_EQ(control.blinker()->parent(), nullptr);

    ui().on_mouse_move({10, 10});
    EXPECT_EQ(control.blinker()->parent(), image);
    draw_frame(10);
    draw_frame(120);
    EXPECT_GT(image->scale().x, 1.0f) << "the pulse runs";

    ui().on_mouse_move({200, 200});
    EXPECT_EQ(control.blinker()->parent(), nullptr);
    EXPECT_EQ(control.sprite()->scale(), (Vector2<float>{1, 1}));
    EXPECT_EQ(image->scale(), (Vector2<float>{1, 1})) << "the icon takes its own size again";
    draw_frame(120);
    EXPECT_EQ(image->scale(), (Vector2<float>{1, 1})) << "the pulse no longer runs";

    ui().on_mouse_move({10, 10});
    EXPECT_EQ(control.blinker()->parent(), image) << "every entry starts it again";
}

}
}
