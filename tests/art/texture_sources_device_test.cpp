// Pictures whose textures are not files of their own, drawn on the real (offscreen) OpenGL
// device: one a rectangle of an atlas page named by the folder's rules, one a JPEG colour
// image merged with a PNG alpha image.
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/art/image_sprite.h"
#include "engine/platform/sub_texture.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "tests/host/gpu/image_files.h"
#include "tests/platform/device_services.h"

namespace kq::test {
namespace {

const char* const document = R"(
vimo { window { fullscreen false color_depth 32 size [(64, 48)] fixed false caption "t" max_display_frequency 60 } }
defaults { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(4, 4)] rotation 0
  scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
  tex_adress 0 inherit 97 placement full tbegin [(0, 0)] tsize [(4, 4)]
  secondary_texture "" secondary_placement texel secondary_tbegin [(0, 0)] secondary_tsize [(1, 1)] }
from_atlas "class kq::ImageSprite" : defaults { position [(10, 10)] texture "art/pic.png" }
from_pair "class kq::ImageSprite" : defaults { position [(20, 10)] texture "art/glass.png" }
)";

// The atlas page, 8 x 4: every pixel a colour of its own.
std::array<std::uint8_t, 3> page_colour(int x, int y)
{
    return {std::uint8_t(x * 32), std::uint8_t(y * 64), std::uint8_t(255 - x * 16)};
}

// The colour image of the pair is one colour; the alpha image's grey changes by column.
constexpr std::array<int, 3> glass_colour = {200, 120, 40};
constexpr std::array<int, 4> glass_alpha = {255, 160, 64, 0};

// The folder: the document, an atlas page with its sheet and rules, and a colour image
// with its alpha image.
std::vector<FolderFile> folder_files()
{
    std::vector<std::uint8_t> page;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            for (std::uint8_t c : page_colour(x, y))
                page.push_back(c);
    std::vector<std::uint8_t> colour;
    std::vector<std::uint8_t> alpha;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            colour.insert(colour.end(), glass_colour.begin(), glass_colour.end());
            alpha.push_back(std::uint8_t(glass_alpha[std::size_t(x)]));
        }
    }
    return {
        {"scene.sdt", document},
        {"art/page.png", png_file({8, 4, PNG_COLOR_TYPE_RGB, 8, page})},
        {"art/sheet.res", "Texture t { filename = page.png resgroup = g }\n"
                          "Sprite \"art/pic.png\" { texture = t rect = 4, 0, 4, 4 resgroup = g }\n"},
        {"art/default.tah", "ATLAS sheet.res FILTER \"art/pic\\\\.png\"\n"},
        {"art/glass_rgb.jpg", jpeg_file(4, 4, JCS_RGB, colour)},
        {"art/glass_a.png", png_file({4, 4, PNG_COLOR_TYPE_GRAY, 8, alpha})},
    };
}

class TextureSourcesDeviceTest : public testing::Test
{
protected:
    // The pixels (0xRRGGBB) of a frame showing the sprite on black.
    std::vector<std::uint32_t> draw(Sprite& sprite)
    {
        return m_device.pixels(64, 48, [&](Artist& artist) { sprite.render(artist); });
    }

private:
    DeviceServices m_device{folder_files(), {"scene.sdt"}};
};

SharedPtr<ImageSprite> from_skin(const char* path)
{
    SharedPtr<ImageSprite> sprite(new ImageSprite);
    sprite->read_skin(SkinPath(path));
    return sprite;
}

// Whether each channel of the pixel is within 2 of the expected one.
bool near(std::uint32_t pixel, std::array<int, 3> rgb)
{
    for (int i = 0; i < 3; ++i) {
        if (std::abs(int(pixel >> (16 - 8 * i) & 0xFF) - rgb[std::size_t(i)]) > 2)
            return false;
    }
    return true;
}

TEST_F(TextureSourcesDeviceTest, APictureFromAnAtlasShowsItsRectangleOfThePage)
{
    const SharedPtr<ImageSprite> picture = from_skin("from_atlas");
    ASSERT_NE(dynamic_cast<SubTexture*>(picture->texture().get()), nullptr);
    const std::vector<std::uint32_t> shot = draw(*picture);
    ASSERT_EQ(shot.size(), 64u * 48u);
    // The 4 x 4 picture at (10, 10) shows the page from (4, 0) texel for texel.
    for (int y = 8; y < 16; ++y) {
        for (int x = 8; x < 16; ++x) {
            const bool inside = x >= 10 && x < 14 && y >= 10 && y < 14;
            std::array<int, 3> expected = {0, 0, 0};
            if (inside) {
                const auto c = page_colour(x - 10 + 4, y - 10);
                expected = {c[0], c[1], c[2]};
            }
            EXPECT_TRUE(near(shot[std::size_t(y * 64 + x)], expected))
                << x << "," << y << ": " << std::hex << shot[std::size_t(y * 64 + x)];
        }
    }
}

TEST_F(TextureSourcesDeviceTest, APictureFromAColourAndAlphaPairIsTranslucentByTheAlphaImage)
{
    const SharedPtr<ImageSprite> picture = from_skin("from_pair");
    const std::vector<std::uint32_t> shot = draw(*picture);
    ASSERT_EQ(shot.size(), 64u * 48u);
    // Blended over black: each channel of the colour times the alpha of its column.
    for (int y = 10; y < 14; ++y) {
        for (int x = 18; x < 26; ++x) {
            std::array<int, 3> expected = {0, 0, 0};
            if (x >= 20 && x < 24) {
                const int a = glass_alpha[std::size_t(x - 20)];
                for (int i = 0; i < 3; ++i)
                    expected[std::size_t(i)] = (glass_colour[std::size_t(i)] * a + 127) / 255;
            }
            EXPECT_TRUE(near(shot[std::size_t(y * 64 + x)], expected))
                << x << "," << y << ": " << std::hex << shot[std::size_t(y * 64 + x)];
        }
    }
}

}
}
