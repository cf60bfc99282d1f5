// The UI drawing its frames on the real (offscreen OpenGL) screen of a window.
#include "engine/ui/ui.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>

#include "engine/base/mainframe.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/res/skin_startup.h"
#include "tests/art/art_tree_support.h"
#include "tests/base/temp_dir.h"

namespace kq {
namespace {

/// A cursor sprite that reads the screen back once the cursor is drawn, the last thing of a
/// frame before it is presented.
class CapturingTile : public test::Tile
{
public:
    void after_children(Artist& artist) override { shot = artist.capture_screen(); }

    SharedPtr<Texture> shot;
};

/// A control filling its rectangle with one colour.
class Filled : public Control
{
public:
    explicit Filled(Color color) : m_fill(color) {}
    ~Filled() override { detach(); }
    void draw(Artist& artist) override { artist.fill_rect(Rect{0, 0, float(size().x), float(size().y)}, m_fill); }

    Color m_fill;
};

class UiDeviceTest : public testing::Test
{
protected:
    UiDeviceTest()
    {
        m_saved_tasks.swap(skin_startup_tasks());
        std::ifstream controls(std::string(KQ_SOURCE_DIR) + "/data/skin/ui/controls.sdt");
        std::ofstream(m_dir.file("controls.sdt")) << controls.rdbuf();
        std::ofstream(m_dir.file("ui.sdt"))
            << "vimo { window { fullscreen false color_depth 32 size [(64, 48)] fixed true caption \"t\""
               " max_display_frequency 60 }\n"
               " ui { hw_cursor false dblclick_time 300 root_control : control_defaults {} } }\n";
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file(m_dir.path() + "default.root");
        skin_startup_tasks() = {make_skin_document_task("ui.sdt"), make_skin_document_task("controls.sdt")};
        start_skin_service();
        m_window = start_api_window_service(SkinPath("vimo.window"));
        start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
        DXArtist* artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
        m_ui = start_ui_service(SkinPath("vimo.ui"), SharedPtr<Window>(m_window), artist);
    }
    ~UiDeviceTest() override
    {
        stop_ui_service();
        stop_dxdraw_service();
        stop_api_window_service(m_window);
        stop_skin_service();
        stop_res_service();
        Mainframe::destroy();
        skin_startup_tasks().swap(m_saved_tasks);
    }

    UI* m_ui = nullptr;

private:
    TempDir m_dir;
    APIWindow* m_window = nullptr;
    std::vector<SkinStartupTask> m_saved_tasks;
};

TEST_F(UiDeviceTest, AFrameShowsTheTreeAndTheSoftwareCursorWhereTheMouseIs)
{
    Filled panel({0, 1, 0, 1});
    panel.set_position({8, 8});
    panel.set_size({16, 16});
    Control::attach_to_parent(&panel, m_ui->root());
    SharedPtr<CapturingTile> pointer(new CapturingTile);
    pointer->set_size(Vector2<float>{4, 4});
    pointer->set_color({0, 0, 1, 1});
    m_ui->root()->set_sw_cursor(pointer);
    m_ui->on_mouse_move({40, 30});

    m_ui->draw_frame();
    ASSERT_TRUE(pointer->shot);
    struct Case
    {
        Vector2<int> at;
        std::uint32_t rgb;
        const char* what;
    };
    const Case cases[] = {
        {{2, 2}, 0x000000, "the cleared root"},
        {{8, 8}, 0x00FF00, "the panel's corner"},
        {{23, 23}, 0x00FF00, "the panel's last pixel"},
        {{24, 24}, 0x000000, "past the panel"},
        {{41, 31}, 0x0000FF, "the cursor at the mouse"},
        {{44, 34}, 0x000000, "past the cursor"},
    };
    for (const Case& c : cases) {
        const std::uint32_t word = pointer->shot->pixel(c.at);
        for (int shift : {16, 8, 0})
            EXPECT_NEAR(int((word >> shift) & 0xFF), int((c.rgb >> shift) & 0xFF), 2) << c.what;
    }
}

}
}
