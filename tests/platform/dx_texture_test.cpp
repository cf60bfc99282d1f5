#include "engine/platform/dx_texture.h"

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/stream.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/res.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"
#include "tests/host/gpu/image_files.h"
#include "tests/platform/fake_gpu_device.h"
#include "tests/platform/test_window.h"
#include "tests/res/test_skin_environment.h"

namespace kq {
namespace {

using testing::HasSubstr;

// The renderer over a fake device, so that device textures can be made.
class DXTextureTest : public testing::Test
{
protected:
    DXTextureTest()
    {
        res->read_root_file(dir.path() + "default.root");
        draw.initialize();
    }
    ~DXTextureTest() override { draw.shutdown(); }

    // A texture made from a PNG of RGBA pixels.
    SharedPtr<DXTexture> from_png(std::uint32_t mode, int width, int height, const std::vector<std::uint8_t>& rgba)
    {
        StringBuffer buffer(test::png_file({width, height, PNG_COLOR_TYPE_RGBA, 8, rgba}));
        Stream stream(buffer);
        SharedPtr<DXTexture> texture(new DXTexture(mode));
        EXPECT_TRUE(texture->create_from_memory(stream));
        return texture;
    }

    test::TestSkinEnvironment skin{"w { fullscreen false color_depth 32 size [(64, 48)] fixed false }"};
    TempDir dir;
    SharedPtr<Res> res{new Res};
    test::FakeGpuDevice* device = new test::FakeGpuDevice;
    SharedPtr<test::TestWindow> window{new test::TestWindow(SkinPath("w"))};
    DXDraw draw{SkinPath("dxdraw"), window, std::unique_ptr<host::GpuDevice>(device)};
};

TEST_F(DXTextureTest, ReadsItsPixelsBackFromTheDevice)
{
    // 2 x 2: red, green / blue, half-transparent white.
    const std::vector<std::uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
    const SharedPtr<DXTexture> texture = from_png(0, 2, 2, rgba);
    EXPECT_EQ(texture->width(), 2);
    EXPECT_EQ(texture->image_height(), 2);
    EXPECT_NE(texture->handle(), 0u);
    struct Case {
        Vector2<int> p;
        std::uint32_t word;
    };
    const Case cases[] = {{{0, 0}, 0xFFFF0000}, {{1, 0}, 0xFF00FF00}, {{0, 1}, 0xFF0000FF}, {{1, 1}, 0x80FFFFFF}};
    for (const Case& c : cases)
        EXPECT_EQ(texture->pixel(c.p), c.word) << c.p.x << "," << c.p.y;
    EXPECT_EQ(texture->pixel_at({0.5f, 0.99f}), 0x80FFFFFFu);
    EXPECT_EQ(texture->pixel_at({0.49f, 0.0f}), 0xFFFF0000u);

    // An opaque mode drops the alpha.
    EXPECT_EQ(from_png(7, 2, 2, rgba)->pixel({1, 1}), 0xFFFFFFFFu);
    EXPECT_EQ(from_png(15, 2, 2, rgba)->pixel({1, 1}), 0x80FFFFFFu);

    // Outside the texture: logged, opaque black.
    test::LogCapture log;
    for (Vector2<int> p : {Vector2<int>{2, 0}, Vector2<int>{0, -1}})
        EXPECT_EQ(texture->pixel(p), 0xFF000000u);
    EXPECT_THAT(log.text("error"), HasSubstr("\nDXTexture::lock failed.\n"));

    // The pixels were read back from the device once, at the first read, and kept since.
    const std::string read_back = "read_texture " + std::to_string(texture->handle());
    EXPECT_EQ(std::count(device->calls.begin(), device->calls.end(), read_back), 1);
}

TEST_F(DXTextureTest, EmptyTexturesHavePowerOfTwoSides)
{
    struct Case {
        Vector2<int> size;
        bool made;
        int width, height;
    };
    const Case cases[] = {{{100, 60}, true, 128, 64}, {{1, 1}, true, 1, 1}, {{64, 65}, true, 64, 128},
                          {{0, 5}, false, 0, 0}, {{-3, 5}, false, 0, 0}};
    for (const Case& c : cases) {
        DXTexture texture(15);
        EXPECT_EQ(texture.create_empty(c.size, texture_format_a8r8g8b8), c.made) << c.size.x;
        EXPECT_EQ(texture.width(), c.width) << c.size.x;
        EXPECT_EQ(texture.height(), c.height) << c.size.x;
        if (c.made) {
            EXPECT_EQ(texture.image_width(), c.size.x);
            EXPECT_EQ(texture.to_uv({float(c.size.x), 0}).x, float(c.size.x) / float(c.width));
        }
    }
    // A file that does not decode makes no texture.
    StringBuffer junk("not an image");
    Stream stream(junk);
    DXTexture texture(0);
    EXPECT_FALSE(texture.create_from_memory(stream));
    EXPECT_EQ(texture.handle(), 0u);
}

TEST_F(DXTextureTest, AFormatTheDeviceDoesNotKeepIsLogged)
{
    test::LogCapture log;
    DXTexture opaque(0);
    ASSERT_TRUE(opaque.create_empty({4, 4}, texture_format_x8r8g8b8));
    EXPECT_EQ(opaque.pixel({1, 1}), 0xFF000000u);
    DXTexture clear(0);
    ASSERT_TRUE(clear.create_empty({4, 4}, texture_format_a8r8g8b8));
    EXPECT_EQ(clear.pixel({1, 1}), 0u);
    // A file in the mode's format, or in its own without a mode, is no change.
    from_png(15, 1, 1, {1, 2, 3, 4});
    from_png(0, 1, 1, {1, 2, 3, 4});
    EXPECT_EQ(log.text("dxtex"), "\n");

    // A 16-bit format is made with 32 bits and alpha.
    DXTexture other(0);
    ASSERT_TRUE(other.create_empty({4, 4}, host::gpu_format_r5g6b5));
    EXPECT_THAT(log.text("dxtex"), HasSubstr("23 - 21\n"));
}

TEST_F(DXTextureTest, MixTakesAlphaFromTheBlueOfAnother)
{
    const std::vector<std::uint8_t> colour = {10, 20, 30, 255, 40, 50, 60, 255};
    const std::vector<std::uint8_t> alpha = {0, 0, 200, 255, 0, 0, 7, 255};
    const SharedPtr<DXTexture> target = from_png(15, 2, 1, colour);
    target->mix(*from_png(8, 2, 1, alpha));
    EXPECT_EQ(target->pixel({0, 0}), 0xC80A141Eu);
    EXPECT_EQ(target->pixel({1, 0}), 0x0728323Cu);
    EXPECT_TRUE(device->called("update_texture"));

    struct Case {
        std::uint32_t target_mode, alpha_mode;
        int alpha_width;
        const char* error;
    };
    const Case cases[] = {
        {15, 8, 3, "Texture mix error: sizes not equal."},
        {15, 7, 2, "Texture mix error: not suitable formats."},
        {0, 8, 2, "Texture mix error: not suitable formats."},
    };
    for (const Case& c : cases) {
        const SharedPtr<DXTexture> t = from_png(c.target_mode, 2, 1, colour);
        std::vector<std::uint8_t> a(std::size_t(c.alpha_width) * 4, 255);
        try {
            t->mix(*from_png(c.alpha_mode, c.alpha_width, 1, a));
            ADD_FAILURE() << c.error;
        } catch (const Exception& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.error));
        }
    }
}

TEST_F(DXTextureTest, DestroyingGivesTheDeviceTextureBack)
{
    auto* texture = new DXTexture(0);
    ASSERT_TRUE(texture->create_empty({4, 4}, 0));
    const TextureHandle handle = texture->handle();
    delete texture;
    EXPECT_THAT(device->calls, testing::Contains("delete_texture " + std::to_string(handle)));
}

}
}
