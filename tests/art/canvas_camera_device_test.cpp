// Canvas and camera sprites drawn on the real (offscreen) OpenGL device, their pixels read
// back and compared with what the borders, offsets and camera rectangles say.
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/art/camera_sprite.h"
#include "engine/art/canvas_sprite.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "tests/platform/device_services.h"

namespace kq::test {
namespace {

constexpr int screen_w = 64;
constexpr int screen_h = 48;

// The canvas reads its borders from the document; everything else a sprite reads is in
// "defaults".
const char* const document = R"(
vimo { window { fullscreen false color_depth 32 size [(64, 48)] fixed false caption "t" max_display_frequency 60 } }
defaults { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(8, 8)] rotation 0
  scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
  tex_adress 0 inherit 97 }
frame "class kq::CanvasSprite" : defaults {
  position [(2, 2)] size [(60, 40)] texture "bands.png" placement texel tbegin [(0, 0)] tsize [(32, 32)]
  secondary_texture "" secondary_placement texel secondary_tbegin [(0, 0)] secondary_tsize [(1, 1)]
  left 10 right 10 top 10 bottom 10 left_def 1 right_def 2 top_def 3 bottom_def 4
}
)";

// The band of a source column or row: 0 for the first ten pixels, 1 for the next eleven, 2
// for the ten after them, 3 for the last one.
int band(int i)
{
    return i < 10 ? 0 : i < 21 ? 1 : i < 31 ? 2 : 3;
}

// The red of a band over the columns and the green of a band over the rows.
constexpr std::uint8_t band_level[] = {0x40, 0x80, 0xC0, 0xFF};

std::uint32_t rgb(int column_band, int row_band)
{
    return std::uint32_t(band_level[column_band]) << 16 | std::uint32_t(band_level[row_band]) << 8;
}

using Shot = std::vector<std::uint32_t>;

class CanvasCameraDeviceTest : public testing::Test
{
protected:
    CanvasCameraDeviceTest()
    {
        m_device.add_texture("bands.png", 32, [](int x, int y) { return rgb(band(x), band(y)); });
        m_device.add_texture("white.png", 4, [](int, int) { return 0xFFFFFFu; });
    }

    // One frame of the tree on black, read back.
    Shot draw(Sprite& root)
    {
        return m_device.pixels(screen_w, screen_h, [&](Artist& artist) { root.render(artist); });
    }

private:
    DeviceServices m_device{{{"scene.sdt", document}}, {"scene.sdt"}};
};

std::uint32_t at(const Shot& shot, int x, int y)
{
    return shot.at(std::size_t(y * screen_w + x));
}

// A white square in the colour given, at a world position (not following its parent).
SharedPtr<ImageSprite> square(Vector2<float> position, Vector2<float> size, const Color& color)
{
    SharedPtr<ImageSprite> made(new ImageSprite);
    made->set_texture(ResHandle<Texture>(ResKey{"white.png", 0}));
    made->set_placement(ArtTexturePlacement::full);
    made->set_position(position);
    made->set_size(size);
    made->set_color(color);
    return made;
}

TEST_F(CanvasCameraDeviceTest, ACanvasStretchesItsMiddleAndNeverShowsTheSourcesLastColumnAndRow)
{
    SharedPtr<CanvasSprite> canvas(new CanvasSprite);
    canvas->read_skin(SkinPath("frame"));
    EXPECT_EQ(canvas->alternate_borders().bottom, 4);
    const Shot shot = draw(*canvas);
    ASSERT_EQ(shot.size(), std::size_t(screen_w * screen_h));

    // The canvas covers (2, 2) to (61, 41). Its corners are 10 pixels wide and show the source
    // one to one: the left ones columns 0-9, the right ones columns 21-30 (one pixel before
    // 32 - 10). Its middle, 40 x 20 pixels from (12, 12), stretches the 11 x 11 pixels from
    // (10, 10). Pixels are sampled away from the seams between parts.
    struct Case {
        int x, y;
        std::uint32_t expected;
        const char* what;
    };
    const Case cases[] = {
        {2, 2, rgb(0, 0), "top-left corner"},
        {11, 11, rgb(0, 0), "top-left corner's last pixel"},
        {32, 6, rgb(1, 0), "top edge"},
        {61, 2, rgb(2, 0), "top-right corner"},
        {61, 41, rgb(2, 2), "bottom-right corner: source pixel (30, 30), never (31, 31)"},
        {52, 32, rgb(2, 2), "bottom-right corner's first pixel"},
        {57, 22, rgb(2, 1), "right edge"},
        {32, 37, rgb(1, 2), "bottom edge"},
        {6, 37, rgb(0, 2), "bottom-left corner"},
        {6, 22, rgb(0, 1), "left edge"},
        {32, 22, rgb(1, 1), "centre"},
        {1, 1, 0, "outside"},
        {62, 42, 0, "outside after the end"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(at(shot, c.x, c.y), c.expected) << c.what << " at " << c.x << "," << c.y;
}

TEST_F(CanvasCameraDeviceTest, ACanvasShiftsItsChildrenByTheTopLeftBorderLessTheChildOffset)
{
    SharedPtr<CanvasSprite> canvas(new CanvasSprite);
    canvas->read_skin(SkinPath("frame"));
    // The child follows the canvas's transformation: at (2, 2) + (1, 1), then shifted by
    // (10 - 2, 10 - 3) = (8, 7), so its 4 x 4 pixels start at (11, 10).
    SharedPtr<ImageSprite> child = square({1, 1}, {4, 4}, {0, 0, 1, 1});
    child->set_inherit(~0u, IF_DEFAULT | IF_TRANSFORMATION);
    canvas->add_child(child);
    canvas->set_child_offset({2, 3});
    const Shot shot = draw(*canvas);
    ASSERT_EQ(shot.size(), std::size_t(screen_w * screen_h));
    EXPECT_EQ(at(shot, 11, 10), 0x0000FFu);
    EXPECT_EQ(at(shot, 14, 13), 0x0000FFu);
    EXPECT_NE(at(shot, 10, 10), 0x0000FFu);
    EXPECT_NE(at(shot, 15, 13), 0x0000FFu);
    EXPECT_NE(at(shot, 11, 14), 0x0000FFu);
    // What is drawn after the canvas is not shifted.
    SharedPtr<Sprite> root(new Sprite);
    root->add_child(canvas);
    root->add_child(square({40, 30}, {2, 2}, {1, 1, 1, 1}));
    const Shot after = draw(*root);
    EXPECT_EQ(at(after, 40, 30), 0xFFFFFFu);
    EXPECT_EQ(at(after, 41, 31), 0xFFFFFFu);
    EXPECT_EQ(at(after, 11, 10), 0x0000FFu);
}

TEST_F(CanvasCameraDeviceTest, ACameraShowsItsRectangleAsTheWholeScreenInItsColour)
{
    struct Case {
        const char* what;
        Vector2<float> camera_at;
        Vector2<float> camera_size;
        Color camera_color;
        Vector2<float> child_at;  // in the world
        int left, top, side;      // the child's square on the screen
        std::array<int, 3> channels;
    };
    // The view maps world p to (p - camera position) × 1024 / width (768 / height for y).
    const Case cases[] = {
        {"a screen-sized camera changes nothing", {0, 0}, {1024, 768}, {1, 1, 1, 1}, {5, 6}, 5, 6, 4, {255, 255, 255}},
        {"half the size magnifies twice", {8, 4}, {512, 384}, {1, 1, 1, 1}, {10, 7}, 4, 6, 8, {255, 255, 255}},
        {"the colour tints the children", {0, 0}, {1024, 768}, {1, 0.5f, 0, 1}, {5, 6}, 5, 6, 4, {255, 127, 0}},
        {"half alpha halves what is drawn", {0, 0}, {1024, 768}, {1, 1, 1, 0.5f}, {5, 6}, 5, 6, 4, {127, 127, 127}},
    };
    for (const Case& c : cases) {
        SharedPtr<CameraSprite> camera(new CameraSprite);
        camera->set_position(c.camera_at);
        camera->set_size(c.camera_size);
        camera->set_color(c.camera_color);
        camera->add_child(square(c.child_at, {4, 4}, {1, 1, 1, 1}));
        SharedPtr<Sprite> root(new Sprite);
        root->add_child(camera);
        // Drawn after the camera: neither moved nor tinted.
        root->add_child(square({50, 40}, {2, 2}, {1, 1, 1, 1}));
        const Shot shot = draw(*root);
        ASSERT_EQ(shot.size(), std::size_t(screen_w * screen_h)) << c.what;
        const auto near = [](std::uint32_t pixel, const std::array<int, 3>& channels) {
            for (int i = 0; i < 3; ++i)
                if (std::abs(int((pixel >> (16 - 8 * i)) & 0xFF) - channels[i]) > 2)
                    return false;
            return true;
        };
        const int last = c.side - 1;
        EXPECT_TRUE(near(at(shot, c.left, c.top), c.channels)) << c.what << std::hex << " " << at(shot, c.left, c.top);
        EXPECT_TRUE(near(at(shot, c.left + last, c.top + last), c.channels)) << c.what;
        EXPECT_EQ(at(shot, c.left - 1, c.top), 0u) << c.what;
        EXPECT_EQ(at(shot, c.left + c.side, c.top + last), 0u) << c.what;
        EXPECT_EQ(at(shot, c.left, c.top + c.side), 0u) << c.what;
        EXPECT_EQ(at(shot, 50, 40), 0xFFFFFFu) << c.what;
        EXPECT_EQ(at(shot, 51, 41), 0xFFFFFFu) << c.what;
    }
}

}
}
