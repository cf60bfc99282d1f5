#include "engine/platform/dx_artist.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_draw.h"
#include "engine/platform/dx_texture.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/res/skin_startup.h"
#include "tests/base/temp_dir.h"

namespace kq {
namespace {

using Rgb = std::array<float, 3>;

// The renderer on OpenGL for a real (offscreen) 64 x 48 window.
class DXArtistTest : public testing::Test
{
protected:
    DXArtistTest()
    {
        m_saved_tasks.swap(skin_startup_tasks());
        std::ofstream(m_dir.file("window.sdt")) << "vimo { window { fullscreen false color_depth 32 size [(64, 48)]"
                                                   " fixed false caption \"t\" max_display_frequency 60 } }\n";
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file(m_dir.path() + "default.root");
        skin_startup_tasks() = {make_skin_document_task("window.sdt")};
        start_skin_service();
        m_window = start_api_window_service(SkinPath("vimo.window"));
        start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
        artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
    }
    ~DXArtistTest() override
    {
        stop_dxdraw_service();
        stop_api_window_service(m_window);
        stop_skin_service();
        stop_res_service();
        Mainframe::destroy();
        skin_startup_tasks().swap(m_saved_tasks);
    }

    // A texture of one colour (RGBA bytes) everywhere.
    SharedPtr<DXTexture> solid(std::array<std::uint8_t, 4> rgba)
    {
        SharedPtr<DXTexture> texture(new DXTexture(0));
        EXPECT_TRUE(texture->create_empty({4, 4}, 0));
        std::vector<std::uint8_t> pixels;
        for (int i = 0; i < 16; ++i)
            pixels.insert(pixels.end(), rgba.begin(), rgba.end());
        texture->write_pixels(4, 4, pixels);
        return texture;
    }

    // The frame drawn so far, read back.
    void capture()
    {
        SharedPtr<Texture> shot = artist->capture_screen();
        ASSERT_TRUE(shot);
        m_shot = shot;
    }

    // Compares a pixel of the capture with a colour of channels 0..255.
    void expect_pixel(int x, int y, Rgb want, const std::string& what)
    {
        const std::uint32_t word = m_shot->pixel({x, y});
        const float got[] = {float((word >> 16) & 0xFF), float((word >> 8) & 0xFF), float(word & 0xFF)};
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(got[c], std::min(want[c], 255.0f), 2.0f) << what << " at " << x << "," << y << " channel " << c;
        EXPECT_EQ(word >> 24, 0xFFu) << what;
    }

    DXArtist* artist = nullptr;

private:
    TempDir m_dir;
    APIWindow* m_window = nullptr;
    SharedPtr<Texture> m_shot;
    std::vector<SkinStartupTask> m_saved_tasks;
};

// A colour as its device bytes: each channel times 255, truncated.
Rgb bytes(const Color& c)
{
    return {std::floor(c.r * 255), std::floor(c.g * 255), std::floor(c.b * 255)};
}

TEST_F(DXArtistTest, BlendModesFollowTheirEquations)
{
    const Color background{0.2f, 0.4f, 0.6f, 1};
    const Color source{0.8f, 0.4f, 0.2f, 0.5f};
    const Rgb d = bytes(background);
    const Rgb s = bytes(source);
    const float a = std::floor(source.a * 255) / 255;
    struct Case {
        std::uint32_t mode;
        Rgb expected;
    };
    auto each = [&](auto f) { return Rgb{f(s[0], d[0]), f(s[1], d[1]), f(s[2], d[2])}; };
    const Case cases[] = {
        {blend_alpha, each([&](float sc, float dc) { return sc * a + dc * (1 - a); })},
        {blend_add, each([&](float sc, float dc) { return sc * a + dc; })},
        {blend_multiply, each([&](float sc, float dc) { return sc * dc / 255; })},
        {blend_opaque, s},
        {blend_screen, each([&](float sc, float dc) { return sc * (1 - dc / 255) + dc; })},
        {blend_double, each([&](float sc, float dc) { return 2 * sc * dc / 255; })},
        {7, each([&](float sc, float dc) { return sc * a + dc * (1 - a); })},
    };
    ASSERT_TRUE(artist->begin_scene());
    artist->clear(background);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        artist->set_render_state(cases[i].mode);
        artist->fill_rect({float(i) * 8, 0, 8, 8}, source);
    }
    capture();
    artist->end_scene();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        expect_pixel(int(i) * 8 + 4, 4, cases[i].expected, "mode " + std::to_string(cases[i].mode));
        expect_pixel(int(i) * 8, 0, cases[i].expected, "corner of mode " + std::to_string(cases[i].mode));
    }
    expect_pixel(4, 8, d, "below the quads");
}

TEST_F(DXArtistTest, TheSecondStageModulatesOrBlendsByTheFactorAlpha)
{
    const SharedPtr<DXTexture> first = solid({200, 100, 50, 255});
    const SharedPtr<DXTexture> second = solid({0, 200, 100, 255});
    ASSERT_TRUE(artist->begin_scene());
    artist->clear({0, 0, 0, 1});
    const Color tint{1, 0.5f, 1, 1};  // green halved by the vertex colour
    // One stage: texture times vertex colour.
    artist->draw_texture(first.get(), {0, 0, 8, 8}, tint);
    // Modulate: times the second texture as well.
    artist->set_second_texture(second.get());
    artist->draw_texture(first.get(), {8, 0, 8, 8}, tint);
    // Blend by the factor's alpha (0.25 packs as 63): second * f + first stage * (1 - f).
    artist->set_render_state(render_second_mode);
    artist->set_texture_factor({1, 1, 1, 0.25f});
    artist->draw_texture(first.get(), {16, 0, 8, 8}, tint);
    capture();
    artist->end_scene();

    const Rgb stage0{200, std::floor(100 * 127.0f / 255), 50};
    expect_pixel(4, 4, stage0, "one stage");
    expect_pixel(12, 4, {0, stage0[1] * 200 / 255, stage0[2] * 100 / 255}, "modulated");
    const float f = 63.0f / 255;
    expect_pixel(20, 4, {stage0[0] * (1 - f), 200 * f + stage0[1] * (1 - f), 100 * f + stage0[2] * (1 - f)},
                 "blended by the factor");
}

TEST_F(DXArtistTest, ScissorsClipAndLinesLandOnPixels)
{
    ASSERT_TRUE(artist->begin_scene());
    artist->clear({0, 0, 0, 1});
    artist->push_translation(Vector2<float>{10, 10});
    artist->push_scissor(Rect{0, 0, 20, 10});  // pixels 10..29 x 10..19
    artist->fill_rect({-10, -10, 100, 100}, {1, 0, 0, 1});
    artist->push_scissor(Rect{100, 100, 5, 5});  // no overlap: nothing drawn
    artist->fill_rect({-10, -10, 100, 100}, {0, 1, 0, 1});
    artist->pop_scissor();
    artist->pop_scissor();
    artist->pop_transformation();
    artist->draw_line({2, 40}, {12, 40});
    artist->draw_line({40, 30}, {40, 36});
    capture();
    artist->end_scene();

    const Rgb red{255, 0, 0};
    const Rgb black{0, 0, 0};
    const Rgb white{255, 255, 255};
    struct Probe {
        int x, y;
        Rgb colour;
    };
    const Probe probes[] = {
        {10, 10, red}, {29, 19, red}, {20, 15, red},   // inside the scissor
        {9, 10, black}, {30, 15, black}, {20, 9, black}, {20, 20, black},
        {2, 40, white}, {7, 40, white}, {11, 40, white},   // the horizontal line's pixels
        {1, 40, black}, {12, 40, black}, {7, 39, black}, {7, 41, black},
        {40, 30, white}, {40, 35, white}, {40, 36, black}, {39, 33, black}, {41, 33, black},
    };
    for (const Probe& p : probes)
        expect_pixel(p.x, p.y, p.colour, "probe");
}

TEST_F(DXArtistTest, ScreenRectAndCaptureCoverTheClientArea)
{
    Rect screen;
    artist->screen_rect(screen);
    EXPECT_EQ(screen, (Rect{0, 0, 64, 48}));
    ASSERT_TRUE(artist->begin_scene());
    artist->clear({0, 0, 1, 1});
    artist->fill_rect({60, 44, 4, 4}, {0, 1, 0, 1});
    capture();
    artist->end_scene();
    expect_pixel(0, 0, {0, 0, 255}, "top-left");
    expect_pixel(63, 47, {0, 255, 0}, "bottom-right");
    expect_pixel(59, 47, {0, 0, 255}, "left of the green corner");
}

}
}
