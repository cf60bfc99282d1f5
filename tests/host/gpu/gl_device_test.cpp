#include "engine/host/gpu/gl/gl_device.h"

#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <array>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace kq::host {
namespace {

// A hidden OpenGL window with the device made for it (SDL's offscreen driver in the tests).
class GlDeviceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        m_window = SDL_CreateWindow("gl", 0, 0, 64, 32, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(m_window, nullptr) << SDL_GetError();
        GpuPresentParameters pp;
        pp.width = 64;
        pp.height = 32;
        pp.window = m_window;
        ASSERT_TRUE(device->create(pp));
        device->set_view(0, 0, 64, 32, 0, 0, 64, 32);
        device->set_blend(GpuBlend::src_alpha, GpuBlend::inv_src_alpha);
        device->clear(0xFF000000);
    }
    void TearDown() override
    {
        device.reset();  // the context goes before its window
        if (m_window)
            SDL_DestroyWindow(m_window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // The RGBA bytes of one pixel of the back buffer.
    std::array<int, 4> pixel(int x, int y)
    {
        std::vector<std::uint8_t> rgba;
        EXPECT_TRUE(device->read_pixels(x, y, 1, 1, rgba));
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }

    // A rectangle as a quad in one colour word, texture coordinates 0..1 on both stages.
    void quad(float x, float y, float w, float h, std::uint32_t color)
    {
        GpuVertex v[4];
        const float xs[] = {x, x + w, x + w, x};
        const float ys[] = {y, y, y + h, y + h};
        const float us[] = {0, 1, 1, 0};
        const float vs[] = {0, 0, 1, 1};
        for (int i = 0; i < 4; ++i)
            v[i] = {xs[i], ys[i], 0.5f, color, us[i], vs[i], us[i], vs[i]};
        device->draw(GpuPrimitive::quads, v, 4);
    }

    std::unique_ptr<GlDevice> device = std::make_unique<GlDevice>();
    SDL_Window* m_window = nullptr;
};

void expect_near(std::array<int, 4> got, std::array<int, 4> want, const char* what)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[i], want[i], 2) << what << " channel " << i;
}

TEST_F(GlDeviceTest, DrawsQuadsWhereTheViewPutsThem)
{
    quad(8, 4, 16, 8, 0xFFFF0000);
    expect_near(pixel(8, 4), {255, 0, 0, 255}, "top-left pixel inside");
    expect_near(pixel(23, 11), {255, 0, 0, 255}, "bottom-right pixel inside");
    expect_near(pixel(7, 4), {0, 0, 0, 255}, "left of it");
    expect_near(pixel(24, 11), {0, 0, 0, 255}, "right of it");
    expect_near(pixel(8, 12), {0, 0, 0, 255}, "below it");

    // A view onto the right half maps 0..10 across its 32 pixels.
    device->set_view(32, 0, 32, 32, 0, 0, 10, 10);
    quad(0, 0, 5, 5, 0xFF00FF00);
    expect_near(pixel(32, 0), {0, 255, 0, 255}, "view origin");
    expect_near(pixel(47, 15), {0, 255, 0, 255}, "half the view");
    expect_near(pixel(48, 16), {0, 0, 0, 255}, "beyond");
    expect_near(pixel(31, 0), {0, 0, 0, 255}, "left of the view");
    // Geometry outside the view is clipped.
    quad(-10, 0, 10, 10, 0xFF0000FF);
    expect_near(pixel(30, 2), {0, 0, 0, 255}, "clipped");

    // An empty view draws nothing.
    device->set_view(0, 0, 0, 32, 0, 0, 0, 32);
    quad(0, 0, 64, 32, 0xFFFFFFFF);
    device->set_view(0, 0, 64, 32, 0, 0, 64, 32);
    expect_near(pixel(1, 1), {0, 0, 0, 255}, "nothing through an empty view");
}

TEST_F(GlDeviceTest, BlendsAndModulatesByStage)
{
    // A 2 x 1 texture: opaque white, then half-transparent blue.
    const std::uint8_t texels[] = {255, 255, 255, 255, 0, 0, 255, 128};
    const GpuTexture texture = device->create_texture(2, 1, texels);
    ASSERT_NE(texture, 0u);
    device->set_texture(0, texture);
    device->clear(0xFF204060);
    // Texel 0 times the vertex colour (alpha 1): the vertex colour exactly.
    GpuVertex v[4];
    const float xs[] = {0, 1, 1, 0};
    const float ys[] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i)
        v[i] = {xs[i], ys[i], 0.5f, 0xFF80FF40, 0.25f, 0.5f, 0, 0};
    device->draw(GpuPrimitive::quads, v, 4);
    expect_near(pixel(0, 0), {0x80, 0xFF, 0x40, 255}, "texel 0 modulated");
    // Texel 1 blends over the clear colour by its alpha 128/255.
    for (int i = 0; i < 4; ++i)
        v[i] = {xs[i] + 2, ys[i], 0.5f, 0xFFFFFFFF, 0.75f, 0.5f, 0, 0};
    device->draw(GpuPrimitive::quads, v, 4);
    const float a = 128.0f / 255.0f;
    expect_near(pixel(2, 0), {int(std::lround(0x20 * (1 - a))), int(std::lround(0x40 * (1 - a))),
                              int(std::lround(255 * a + 0x60 * (1 - a))), 255},
                "texel 1 blended");
    device->delete_texture(texture);
}

TEST_F(GlDeviceTest, ReadsPixelsTopRowFirst)
{
    quad(0, 0, 64, 1, 0xFFFF0000);
    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(device->read_pixels(0, 0, 2, 2, rgba));
    ASSERT_EQ(rgba.size(), 16u);
    EXPECT_EQ(rgba[0], 255);   // row 0 red
    EXPECT_EQ(rgba[8], 0);     // row 1 black
    EXPECT_EQ(rgba[11], 255);
}

TEST_F(GlDeviceTest, GivesATexturesPixelsBackAsWritten)
{
    // 2 x 2 texels, each byte its own value; then the second row replaced.
    std::vector<std::uint8_t> texels(16);
    for (std::size_t i = 0; i < texels.size(); ++i)
        texels[i] = std::uint8_t(i * 16 + 1);
    const GpuTexture texture = device->create_texture(2, 2, texels.data());
    ASSERT_NE(texture, 0u);
    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(device->read_texture(texture, 2, 2, rgba));
    EXPECT_EQ(rgba, texels);
    for (std::size_t i = 8; i < 16; ++i)
        texels[i] = std::uint8_t(255 - i);
    device->update_texture(texture, 2, 2, texels.data());
    ASSERT_TRUE(device->read_texture(texture, 2, 2, rgba));
    EXPECT_EQ(rgba, texels);
    // Asked at another size, or for no texture, it reads nothing.
    EXPECT_FALSE(device->read_texture(texture, 4, 2, rgba));
    EXPECT_FALSE(device->read_texture(0, 2, 2, rgba));
    device->delete_texture(texture);
}
// Vertices of one kind whose last primitive covers the pixel (x, y) in the colour word, every
// other one lying off the target.
std::vector<GpuVertex> batch_ending_on(GpuPrimitive kind, std::uint32_t count, int x, int y, std::uint32_t color)
{
    std::vector<GpuVertex> vertices(count, GpuVertex{-50, -50, 0.5f, 0xFFFFFFFF, 0, 0, 0, 0});
    const float l = float(x);
    const float t = float(y);
    std::vector<std::array<float, 2>> last;
    switch (kind) {
    case GpuPrimitive::lines:
        last = {{{l, t + 0.5f}}, {{l + 1, t + 0.5f}}};
        break;
    case GpuPrimitive::triangles:
        last = {{{l - 1, t - 1}}, {{l + 3, t - 1}}, {{l - 1, t + 3}}};
        break;
    case GpuPrimitive::quads:
        last = {{{l, t}}, {{l + 1, t}}, {{l + 1, t + 1}}, {{l, t + 1}}};
        break;
    }
    for (std::size_t i = 0; i < last.size(); ++i)
        vertices[count - last.size() + i] = {last[i][0], last[i][1], 0.5f, color, 0, 0, 0, 0};
    return vertices;
}

TEST_F(GlDeviceTest, DrawsEveryVertexOfManyAndOfHugeBatches)
{
    struct Case {
        GpuPrimitive kind;
        std::uint32_t count;
        const char* what;
    };
    // Batches of odd sizes wrap the stream again and again; the last three are larger than
    // it holds.
    const Case cases[] = {
        {GpuPrimitive::lines, 2, "a line"},
        {GpuPrimitive::quads, 4000, "a full batch of quads after a line"},
        {GpuPrimitive::triangles, 2997, "triangles"},
        {GpuPrimitive::quads, 40000, "many quads"},
        {GpuPrimitive::lines, 30002, "many lines"},
        {GpuPrimitive::quads, 40000, "many quads again"},
        {GpuPrimitive::quads, 70000, "more quads than the stream holds"},
        {GpuPrimitive::triangles, 66000, "more triangles than the stream holds"},
        {GpuPrimitive::lines, 140000, "more lines than the stream holds"},
    };
    int index = 0;
    for (const Case& c : cases) {
        const int red = 40 + index * 20;
        const int x = index * 4;
        const std::vector<GpuVertex> vertices =
            batch_ending_on(c.kind, c.count, x, 2, 0xFF0000FF | std::uint32_t(red) << 16);
        device->draw(c.kind, vertices.data(), c.count);
        expect_near(pixel(x, 2), {red, 0, 255, 255}, c.what);
        ++index;
    }
}

}
}
