// The debug dialog drawn by the UI on the real (offscreen OpenGL) screen: its read-outs are
// there in the frame, glyph by glyph where the text layout puts them.
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>

#include "engine/base/string_stream.h"
#include "engine/base/tstream.h"
#include "engine/platform/font.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/debug_dialog.h"
#include "engine/ui/ui.h"
#include "tests/art/art_tree_support.h"
#include "tests/base/manual_clock.h"
#include "tests/platform/device_services.h"

namespace kq::test {
namespace {

// Glyphs 2 x 4 pixels, each advancing 3; the space draws nothing and advances 3.
const char* const dialog_document = R"(
vimo { window { fullscreen false color_depth 32 size [(128, 64)] fixed true caption "t" max_display_frequency 60 }
    ui { hw_cursor false dblclick_time 300 root_control : control_defaults {} } }
text_look { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(100, 8)] rotation 0
    scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
    tex_adress 0 inherit 0 font "glyphs.fnt" text "" valign top halign left brilliance 0 }
debug_dialog : control_defaults { sx 128 sy 64 exclusive false
    fps : text_look { position [(2, 2)] }
    load : text_look { position [(2, 12)] }
    dips : text_look { position [(2, 22)] size [(100, 20)] }
    pos : text_look { position [(2, 50)] }
}
)";

/// The cursor sprite, drawn last in a frame: it reads the screen back.
class CapturingTile : public Tile
{
public:
    void after_children(Artist& artist) override { shot = artist.capture_screen(); }

    SharedPtr<Texture> shot;
};

class DebugDialogDeviceTest : public testing::Test
{
protected:
    DebugDialogDeviceTest()
    {
        add_font();
        m_ui = start_ui_service(SkinPath("vimo.ui"), SharedPtr<Window>(m_device.window()), &m_device.artist());
    }
    ~DebugDialogDeviceTest() override { stop_ui_service(); }

    void add_font()
    {
        m_device.add_texture("white.png", 0xFFFFFF);
        std::string description = "HGEFONT Bitmap=white.png Char=\" \",0,0,0,0,0,3";
        for (char c : std::string("0123456789:%,-ADFILOPQRSU"))
            description += std::string(" Char=\"") + c + "\",0,0,2,4,0,1";
        SharedPtr<Font> font(new Font);
        StringBuffer buffer(description + "\n");
        TStream stream(buffer);
        ASSERT_TRUE(font->parse(stream));
        font->resolve();
        Res::instance()->add_resource(ResRequest{type_name<Font>(), ResKey{"glyphs.fnt", 0}}, font);
    }

    ManualClock m_clock;

private:
    DeviceServices m_device{{{"controls.sdt", source_file_text("data/skin/ui/controls.sdt")}, {"dialog.sdt", dialog_document}},
                            {"controls.sdt", "dialog.sdt"}};

protected:
    UI* m_ui = nullptr;
};

TEST_F(DebugDialogDeviceTest, AHeadlessFrameShowsFramesPerSecondAndLoad)
{
    DebugDialog dialog;
    dialog.set_up(CIIndependent(SkinPath("debug_dialog")));
    Control::attach_to_parent(&dialog, m_ui->root());
    SharedPtr<CapturingTile> pointer(new CapturingTile);
    pointer->set_size(Vector2<float>{1, 1});
    pointer->set_color({0, 0, 0, 1});
    m_ui->root()->set_sw_cursor(pointer);
    m_ui->on_mouse_move({120, 60});
    m_ui->update_timers();
    m_clock.time += 1000;
    m_ui->update_timers();  // the load sample of the first second

    m_ui->draw_frame();
    ASSERT_TRUE(pointer->shot);
    EXPECT_EQ(dialog.fps_text().text(), "FPS: 0");
    EXPECT_EQ(dialog.load_text().text(), "LOAD: 100%") << "the scheduler never slept";
    struct Case
    {
        Vector2<int> at;
        bool lit;
        const char* what;
    };
    const Case cases[] = {
        {{2, 2}, true, "F of FPS, top left"},
        {{3, 5}, true, "F of FPS, bottom right"},
        {{4, 3}, false, "the gap after F"},
        {{5, 2}, true, "P of FPS"},
        {{15, 3}, false, "the space"},
        {{17, 2}, true, "the 0 of the rate"},
        {{20, 3}, false, "after the rate"},
        {{2, 9}, false, "between the lines"},
        {{2, 12}, true, "L of LOAD"},
        {{29, 15}, true, "% of LOAD: 100%"},
        {{32, 13}, false, "after the load"},
    };
    for (const Case& c : cases) {
        const std::uint32_t word = pointer->shot->pixel(c.at);
        EXPECT_EQ((word & 0xFF) > 128, c.lit) << c.what << " " << std::hex << word;
    }
    dialog.detach();
}

}
}
