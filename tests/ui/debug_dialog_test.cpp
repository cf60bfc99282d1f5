#include "engine/ui/debug_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/base/mainframe.h"
#include "engine/ui/control_initer.h"
#include "fake_host.h"
#include "tests/base/manual_clock.h"
#include "tests/platform/recording_artist.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {
namespace {

const char* const debug_nodes = R"(
    control_keys { x 0 y 0 z 0 sx 300 sy 100 x_snap left y_snap top sx_snap absolute sy_snap absolute
        z_snap normal hidden false disabled false transparency none dblclicks false hw_cursor ""
        sw_cursor "" sprite "" }
    text_look { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(200, 10)] rotation 0
        scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
        tex_adress 0 inherit 0 font "" text "" valign top halign left brilliance 0 }
    debug : control_keys { exclusive false fps : text_look {} load : text_look {} dips : text_look {}
        pos : text_look {} }
)";

TEST(DebugDialog, AreaIsCountedInScreensWithAtMostTwoDecimals)
{
    struct Case
    {
        float area;
        const char* text;
    };
    const Case cases[] = {
        {786432.0f, "1"},   {1179648.0f, "1.5"}, {825753.6f, "1.05"}, {0.0f, "0"},
        {-393216.0f, "-0.5"}, {3900.0f, "0"},   {3933.0f, "0.01"},   {7864320.0f, "10"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DebugDialog::format_area(c.area), c.text) << c.area;
}

class DebugDialogTest : public testing::Test
{
protected:
    DebugDialogTest() : m_skin(debug_nodes)
    {
        Mainframe::create();
        dialog.set_up(CIIndependent(SkinPath("debug")));
    }
    ~DebugDialogTest() override
    {
        dialog.detach();
        Mainframe::destroy();
    }

    /// Lets the scheduler sleep `ms` with nothing to do.
    void idle(int ms)
    {
        Mainframe::add_task([] {}, 0, ms, Mainframe::run_once);
        Mainframe::step();
    }

    ManualClock m_clock;
    TestSkinEnvironment m_skin;
    HostedRoot ui;
    DebugDialog dialog;
};

TEST_F(DebugDialogTest, LoadIsTheShareOfEachSecondTheSchedulerDidNotSleep)
{
    idle(400);  // before the attachment: not counted
    Control::attach_to_parent(&dialog, &ui.root);
    ASSERT_EQ(ui.host.live_timers(), 1);
    EXPECT_EQ(ui.host.timers[0].interval, 1000);
    struct Sample
    {
        int idle_ms;
        const char* text;
    };
    const Sample samples[] = {{250, "LOAD: 75%"}, {0, "LOAD: 100%"}, {1000, "LOAD: 0%"}, {333, "LOAD: 67%"}};
    for (const Sample& sample : samples) {
        if (sample.idle_ms > 0)
            idle(sample.idle_ms);
        ui.host.tick(1000);
        EXPECT_EQ(dialog.load_text().text(), sample.text) << sample.idle_ms;
    }
    dialog.detach();
    EXPECT_EQ(ui.host.live_timers(), 0) << "the sampling ends with the attachment";
}

TEST_F(DebugDialogTest, EachFrameShowsTheArtistsFiguresAndTheMouse)
{
    Control::attach_to_parent(&dialog, &ui.root);
    RecordingArtist artist;
    artist.begin_scene();
    dialog.draw(artist);
    artist.end_scene();
    EXPECT_EQ(dialog.fps_text().text(), "FPS: 0");
    EXPECT_EQ(dialog.stats_text().text(), "DIPS: 0\nQUADS: 0\nAREA: 0");
    EXPECT_EQ(dialog.pos_text().text(), "P: -, -") << "nothing hovered";

    Control hovered;
    hovered.set_position({40, 50});
    Control::attach_to_parent(&hovered, &ui.root);
    ui.host.m_hovered = &hovered;
    ui.host.m_mouse = {45, 70};
    artist.begin_scene();
    dialog.draw(artist);
    artist.end_scene();
    EXPECT_EQ(dialog.pos_text().text(), "P: 5, 20") << "in the hovered control's coordinates";
    ui.host.m_hovered = nullptr;
    hovered.detach();
}

}
}
