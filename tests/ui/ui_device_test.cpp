// The UI drawing its frames on the real (offscreen OpenGL) screen of a window.
#include "engine/ui/ui.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/ui/frame_manager.h"
#include "tests/art/art_tree_support.h"
#include "tests/base/manual_clock.h"
#include "tests/platform/device_services.h"

namespace kq {
namespace {

using test::DeviceServices;
using test::source_file_text;

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
    /// A window as `window` describes it (its skin keys), with a UI drawing on its screen.
    explicit UiDeviceTest(const std::string& window = "fullscreen false color_depth 32 size [(64, 48)] fixed true")
        : m_device({{"controls.sdt", source_file_text("data/skin/ui/controls.sdt")},
                    {"ui.sdt", "vimo { window { " + window + " caption \"t\" max_display_frequency 60 }\n"
                               " ui { hw_cursor false dblclick_time 300 root_control : control_defaults {} } }\n"}},
                   {"ui.sdt", "controls.sdt"})
    {
        m_window = m_device.window();
        m_artist = &m_device.artist();
        m_ui = start_ui_service(SkinPath("vimo.ui"), SharedPtr<Window>(m_window), m_artist);
    }
    ~UiDeviceTest() override { stop_ui_service(); }

private:
    DeviceServices m_device;

protected:
    UI* m_ui = nullptr;
    APIWindow* m_window = nullptr;
    DXArtist* m_artist = nullptr;
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


/// A frame filling its rectangle with one colour.
class FilledFrame : public Frame
{
public:
    explicit FilledFrame(Color color) : m_fill(color) {}
    ~FilledFrame() override { detach(); }
    void draw(Artist& artist) override { artist.fill_rect(Rect{0, 0, float(size().x), float(size().y)}, m_fill); }

    Color m_fill;
};

// Each channel of a pixel against 0..255 values.
void expect_rgb_bytes(std::array<int, 3> got, std::array<int, 3> rgb, const std::string& what)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[i], rgb[i], 2) << what << " channel " << i;
}

// Each channel of a captured texture word against 0..255 values.
void expect_rgb(std::uint32_t word, std::array<int, 3> rgb, const std::string& what)
{
    expect_rgb_bytes({int((word >> 16) & 0xFF), int((word >> 8) & 0xFF), int(word & 0xFF)}, rgb, what);
}

TEST_F(UiDeviceTest, AFadeShowsTheOldScreenDarkeningThenTheNewOneUncovered)
{
    test::ManualClock clock;
    clock.time = 1000;
    SharedPtr<CapturingTile> pointer(new CapturingTile);
    pointer->set_size(Vector2<float>{1, 1});
    m_ui->root()->set_sw_cursor(pointer);
    m_ui->on_mouse_move({63, 47});
    FrameManager manager;
    manager.set_size({64, 48});
    Control::attach_to_parent(&manager, m_ui->root());
    SharedPtr<FilledFrame> old_frame(new FilledFrame({0, 1, 0, 1}));
    SharedPtr<FilledFrame> new_frame(new FilledFrame({1, 0, 0, 1}));
    old_frame->set_size({64, 48});
    new_frame->set_size({64, 48});
    manager.push_frame(old_frame, Fade());
    m_ui->draw_frame();
    m_ui->draw_frame();

    clock.time = 2000;
    manager.push_frame(new_frame, Fade(400, 300));
    // The old screen tinted white, half grey, black; then black going clear over the new one.
    struct Case
    {
        int at_ms;
        std::array<int, 3> rgb;
    };
    const Case cases[] = {
        {0, {0, 255, 0}}, {200, {0, 127, 0}}, {400, {0, 0, 0}}, {550, {128, 0, 0}}, {700, {255, 0, 0}},
    };
    for (const Case& c : cases) {
        clock.time = 2000 + c.at_ms;
        pointer->shot = SharedPtr<Texture>();
        m_ui->draw_frame();
        ASSERT_TRUE(pointer->shot) << c.at_ms;
        expect_rgb(pointer->shot->pixel({20, 20}), c.rgb, std::to_string(c.at_ms) + " ms");
    }
    EXPECT_FALSE(manager.is_fading());
    manager.detach();
}

/// A cursor sprite that reads the whole client area back, margins included, once it is drawn.
class ClientReadingTile : public test::Tile
{
public:
    void after_children(Artist& artist) override
    {
        artist.flush();
        DXDraw* draw = DXDraw::instance();
        const Vector2<int> size = draw->window()->client_size();
        width = size.x;
        pixels.clear();
        draw->device()->read_pixels(0, 0, size.x, size.y, pixels);
    }

    /// The RGB bytes of a client pixel.
    std::array<int, 3> at(int x, int y) const
    {
        const std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    int width = 0;
    std::vector<std::uint8_t> pixels;
};

// A full-screen window whose logical screen is twice as wide as high: the desktop shows it
// with margins.
class LetterboxedUiDeviceTest : public UiDeviceTest
{
protected:
    LetterboxedUiDeviceTest() : UiDeviceTest("fullscreen true color_depth 32 size [(64, 32)] fixed true") {}
};

TEST_F(LetterboxedUiDeviceTest, BlackMarginsFrameTheLogicalScreenAndTheCursorIsAtTheMouse)
{
    const RectI view = m_window->viewport();
    const Vector2<int> client = m_window->client_size();
    ASSERT_TRUE(view.x > 0 || view.y > 0) << "the desktop's shape differs from the logical screen's";
    Filled panel({0, 1, 0, 1});
    panel.set_size({64, 32});
    Control::attach_to_parent(&panel, m_ui->root());
    SharedPtr<ClientReadingTile> pointer(new ClientReadingTile);
    pointer->set_size(Vector2<float>{4, 4});
    pointer->set_color({0, 0, 1, 1});
    m_ui->root()->set_sw_cursor(pointer);
    m_ui->on_mouse_move({40, 20});

    // After the first frame, which clears everything, the surface is painted white: only the
    // margins the next frame draws read black.
    m_ui->draw_frame();
    ASSERT_TRUE(m_artist->begin_scene());
    m_artist->clear({1, 1, 1, 1});
    m_artist->end_scene();
    m_ui->draw_frame();
    ASSERT_FALSE(pointer->pixels.empty());

    const std::array<int, 3> black{0, 0, 0};
    const std::array<int, 3> green{0, 255, 0};
    const std::array<int, 3> blue{0, 0, 255};
    struct Case
    {
        Vector2<int> pixel;
        std::array<int, 3> rgb;
        std::string what;
    };
    // Across the bands' axis: the middle and inner edge of the first band, the logical area's
    // edges, and the inner edge and middle of the second band.
    const bool bands_across = view.y > 0;
    const int from = bands_across ? view.y : view.x;
    const int length = bands_across ? view.h : view.w;
    const int end = bands_across ? client.y : client.x;
    const int middle = bands_across ? client.x / 2 : client.y / 2;
    const auto at = [&](int along) { return bands_across ? Vector2<int>{middle, along} : Vector2<int>{along, middle}; };
    const Vector2<int> cursor = m_window->to_window({42, 22});
    const Vector2<int> past_cursor = m_window->to_window({46, 26});
    const Case cases[] = {
        {at(from / 2), black, "inside the first margin"},
        {at(from - 1), black, "the first margin's last pixel"},
        {at(from), green, "the logical screen's first pixel"},
        {at(from + length - 1), green, "the logical screen's last pixel"},
        {at(from + length), black, "the second margin's first pixel"},
        {at((from + length + end) / 2), black, "inside the second margin"},
        {cursor, blue, "the cursor at the mouse"},
        {past_cursor, green, "past the cursor"},
    };
    for (const Case& c : cases)
        expect_rgb_bytes(pointer->at(c.pixel.x, c.pixel.y), c.rgb, c.what);
}

}
}
