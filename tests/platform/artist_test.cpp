#include "engine/platform/artist.h"

#include <cmath>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/base/log_capture.h"
#include "tests/base/manual_clock.h"
#include "tests/platform/recording_artist.h"

namespace kq {
namespace {

using test::PlainTexture;
using test::RecordingArtist;
using testing::ElementsAre;
using testing::HasSubstr;

// A 10 x 10 square at (x, y) in one colour with texture coordinates 0 to 1.
Quad square(float x, float y, Color c = {1, 1, 1, 1})
{
    Quad q;
    const float xs[] = {x, x + 10, x + 10, x};
    const float ys[] = {y, y, y + 10, y + 10};
    for (int i = 0; i < 4; ++i)
        q.v[i] = {xs[i], ys[i], c.r, c.g, c.b, c.a, xs[i] == x ? 0.0f : 1.0f, ys[i] == y ? 0.0f : 1.0f, 0, 0};
    return q;
}

QuadVertex point(float x, float y)
{
    return {x, y, 1, 1, 1, 1};
}

TEST(Artist, OnlyDeviceStateChangesEndABatch)
{
    const PlainTexture texture(7, 64, 64);
    const PlainTexture same_handle(7, 32, 32);
    const PlainTexture other(8, 64, 64);
    struct Case {
        const char* what;
        std::function<void(Artist&)> change;
        bool flushes;
    };
    const Case cases[] = {
        {"same texture again", [&](Artist& a) { a.set_texture(&texture); }, false},
        {"another texture of the same handle", [&](Artist& a) { a.set_texture(&same_handle); }, false},
        {"another texture", [&](Artist& a) { a.set_texture(&other); }, true},
        {"texture unbound", [&](Artist& a) { a.unbind_texture(); }, true},
        {"second texture", [&](Artist& a) { a.set_second_texture(&other); }, true},
        {"same second texture (none)", [&](Artist& a) { a.unbind_second_texture(); }, false},
        {"same render state", [&](Artist& a) { a.set_render_state(0); }, false},
        {"blend mode", [&](Artist& a) { a.set_render_state(blend_add); }, true},
        {"a bit that is never sent", [&](Artist& a) { a.set_render_state(0x1000); }, true},
        {"same factor within tolerance", [&](Artist& a) { a.set_texture_factor({1, 1, 1, 1 - 1e-8f}); }, false},
        {"texture factor", [&](Artist& a) { a.set_texture_factor({1, 0, 0, 1}); }, true},
        {"transformation", [&](Artist& a) { a.push_translation(Vector2<float>{5, 5}); }, false},
        {"rotation", [&](Artist& a) { a.transform(Transform::rotation(1.0f)); }, false},
        {"global colour", [&](Artist& a) { a.multiply_global_color({0.5f, 0.5f, 0.5f, 0.5f}); }, false},
        {"a line between quads", [&](Artist& a) { a.add_line(point(0, 0), point(5, 5)); }, true},
        {"scissor pushed", [&](Artist& a) { a.push_scissor(Rect{0, 0, 100, 100}); }, true},
        {"screen captured", [&](Artist& a) { a.capture_screen(); }, true},
        {"explicit flush", [&](Artist& a) { a.flush(); }, true},
    };
    for (const Case& c : cases) {
        RecordingArtist artist;
        ASSERT_TRUE(artist.begin_scene());
        artist.set_texture(&texture);
        artist.add_quad(square(0, 0));
        c.change(artist);
        EXPECT_EQ(artist.batches.size(), c.flushes ? 1u : 0u) << c.what;
        artist.add_quad(square(20, 0));
        artist.end_scene();
        std::size_t vertices = 0;
        for (const test::RecordedBatch& batch : artist.batches)
            vertices += batch.vertices.size();
        EXPECT_EQ(vertices, c.what == std::string("a line between quads") ? 10u : 8u) << c.what;
        EXPECT_EQ(artist.batches.front().texture, 7u) << c.what;
    }
}

TEST(Artist, AFullBufferGoesOutWhenTheNextQuadArrives)
{
    RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    for (int i = 0; i < 1000; ++i)
        artist.add_quad(square(float(i), 0));
    EXPECT_TRUE(artist.batches.empty());
    artist.add_quad(square(1000, 0));
    ASSERT_EQ(artist.batches.size(), 1u);
    EXPECT_EQ(artist.batches[0].vertices.size(), 4000u);
    EXPECT_EQ(artist.batches[0].vertices[3996].x, 999.0f);
    artist.end_scene();
    ASSERT_EQ(artist.batches.size(), 2u);
    EXPECT_EQ(artist.batches[1].vertices.size(), 4u);
    EXPECT_EQ(artist.batches[1].vertices[0].x, 1000.0f);
    EXPECT_THAT(artist.calls, testing::Contains("draw 2 4000"));

    // Lines fill the buffer exactly: 2000 lines make one batch, the 2001st starts another.
    artist.batches.clear();
    ASSERT_TRUE(artist.begin_scene());
    for (int i = 0; i < 2001; ++i)
        artist.add_line(point(0, 0), point(1, 1));
    ASSERT_EQ(artist.batches.size(), 1u);
    EXPECT_EQ(artist.batches[0].vertices.size(), 4000u);
    artist.end_scene();
    EXPECT_EQ(artist.batches.size(), 2u);
}

TEST(Artist, VerticesAreTransformedColouredAndPackedWhenAdded)
{
    RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    artist.push_translation(Vector2<int>{100, 50});
    artist.transform(Transform::compose({2, 3}, 0, {0, 0}));  // scale first, in local units
    artist.translate({1, 1});                                 // local: moves by (2, 3) on screen
    artist.multiply_global_color({0.5f, 1, 1, 0.5f});
    Quad q = square(0, 0, {1, 0.5f, 0, 1});
    q.v[2].tu2 = 0.25f;
    q.v[2].tv2 = 0.75f;
    artist.add_quad(q);
    artist.pop_global_color();
    artist.pop_transformation();
    artist.add_line(point(1, 2), point(3, 4));
    artist.end_scene();

    ASSERT_EQ(artist.batches.size(), 2u);
    const std::vector<DeviceVertex>& quad = artist.batches[0].vertices;
    ASSERT_EQ(quad.size(), 4u);
    struct Expected {
        float x, y, tu, tv;
    };
    const Expected expected[] = {{102, 53, 0, 0}, {122, 53, 1, 0}, {122, 83, 1, 1}, {102, 83, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(quad[i].x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(quad[i].y, expected[i].y) << i;
        EXPECT_EQ(quad[i].z, 0.5f);
        EXPECT_EQ(quad[i].tu, expected[i].tu);
        EXPECT_EQ(quad[i].tv, expected[i].tv);
        // (1, 0.5, 0, 1) times the global (0.5, 1, 1, 0.5): bytes 0x7F, 0x7F, 0, 0x7F.
        EXPECT_EQ(quad[i].color, 0x7F7F7F00u) << i;
    }
    EXPECT_EQ(quad[2].tu2, 0.25f);
    EXPECT_EQ(quad[2].tv2, 0.75f);

    // Back at the identity after the pop; lines sit on pixel centres, quads do not.
    const std::vector<DeviceVertex>& line = artist.batches[1].vertices;
    ASSERT_EQ(line.size(), 2u);
    EXPECT_EQ(line[0].x, 1.5f);
    EXPECT_EQ(line[0].y, 2.5f);
    EXPECT_EQ(line[1].x, 3.5f);
    EXPECT_EQ(line[1].y, 4.5f);
    EXPECT_EQ(line[0].color, 0xFFFFFFFFu);
}

TEST(Artist, AlternatingKindsFlushAtEachChange)
{
    RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    artist.add_line(point(0, 0), point(1, 0));
    artist.add_quad(square(0, 0));
    artist.add_quad_outline(square(0, 0));
    artist.end_scene();
    ASSERT_EQ(artist.batches.size(), 3u);
    const std::uint32_t kinds[] = {primitive_lines, primitive_quads, primitive_lines};
    const std::size_t sizes[] = {2, 4, 8};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(artist.batches[i].kind, kinds[i]) << i;
        EXPECT_EQ(artist.batches[i].vertices.size(), sizes[i]) << i;
    }
    // The outline runs 0-1, 1-2, 2-3, 3-0, each shifted by half a pixel.
    const std::vector<DeviceVertex>& outline = artist.batches[2].vertices;
    const float xs[] = {0.5f, 10.5f, 10.5f, 10.5f, 10.5f, 0.5f, 0.5f, 0.5f};
    const float ys[] = {0.5f, 0.5f, 0.5f, 10.5f, 10.5f, 10.5f, 10.5f, 0.5f};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(outline[i].x, xs[i]) << i;
        EXPECT_EQ(outline[i].y, ys[i]) << i;
    }
}

TEST(Artist, DeviceColorSaturatesAndTruncates)
{
    struct Case {
        Color c;
        std::uint32_t word;
    };
    const Case cases[] = {
        {{1, 1, 1, 1}, 0xFFFFFFFF},
        {{0.5f, 0, 0, 1}, 0xFF7F0000},
        {{0, 0, 0, 0}, 0x00000000},
        {{0.2f, 0.4f, 0.6f, 0.8f}, 0xCC336699},
        {{1.5f, 0, 0, 1}, 0xFFFF0000},    // saturated, not wrapped to 0x7E
        {{0, 0, 1, 2}, 0xFF0000FF},
        {{-0.5f, 0, 0, -1}, 0x00000000},
        {{0.999f, 0.004f, 0.0039f, 1}, 0xFFFE0100},
        {{std::nanf(""), 1, 0, 1}, 0xFF00FF00},  // no undefined conversion of a NaN
    };
    RecordingArtist artist;
    for (const Case& c : cases)
        EXPECT_EQ(artist.device_color(c.c), c.word) << c.c.r << " " << c.c.g << " " << c.c.b << " " << c.c.a;
}

TEST(Artist, ScissorsAreTransformedIntersectedAndRestored)
{
    struct Case {
        const char* what;
        Transform transform;
        std::vector<Rect> pushed;
        Rect expected;
    };
    Transform shifted;
    shifted.translate(10, 20);
    const Transform scaled = Transform::compose({2, 2}, 0, {5, 5});
    const Case cases[] = {
        {"inside the screen", {}, {{10, 20, 100, 50}}, {10, 20, 100, 50}},
        {"translated", shifted, {{0, 0, 100, 50}}, {10, 20, 100, 50}},
        {"scaled", scaled, {{10, 10, 20, 30}}, {25, 25, 40, 60}},
        {"cut by the screen", {}, {{-10, 400, 100, 200}}, {0, 400, 90, 80}},
        {"nested", {}, {{0, 0, 100, 100}, {50, 60, 100, 100}}, {50, 60, 50, 40}},
        {"disjoint on the right", {}, {{0, 0, 100, 100}, {200, 0, 50, 50}}, {200, 0, 0, 50}},
        {"disjoint below", {}, {{0, 0, 100, 100}, {0, 300, 50, 50}}, {0, 300, 50, 0}},
    };
    for (const Case& c : cases) {
        RecordingArtist artist;
        ASSERT_TRUE(artist.begin_scene());
        artist.transform(c.transform);
        for (const Rect& r : c.pushed)
            artist.push_scissor(r);
        EXPECT_EQ(artist.scissor(), c.expected) << c.what;
        artist.add_quad(square(0, 0));
        artist.flush();
        const bool empty = c.expected.w == 0 || c.expected.h == 0;
        EXPECT_EQ(artist.batches.size(), empty ? 0u : 1u) << c.what;
        for (std::size_t i = 0; i < c.pushed.size(); ++i)
            artist.pop_scissor();
        EXPECT_EQ(artist.scissor(), (Rect{0, 0, 640, 480})) << c.what;
        artist.add_quad(square(0, 0));
        artist.end_scene();
        ASSERT_FALSE(artist.batches.empty()) << c.what;
        EXPECT_EQ(artist.batches.back().scissor, (Rect{0, 0, 640, 480})) << c.what;
    }

    // Integer rectangles are the same rectangles.
    RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    artist.push_scissor(RectI{1, 2, 3, 4});
    EXPECT_EQ(artist.scissor(), (Rect{1, 2, 3, 4}));
    artist.add_quad(square(0, 0));
    artist.pop_scissor();
    artist.end_scene();
    ASSERT_EQ(artist.batches.size(), 1u);
    EXPECT_EQ(artist.batches[0].scissor, (Rect{1, 2, 3, 4}));
}

TEST(Artist, RenderStateAppliesOnlyWhatChanged)
{
    const PlainTexture second(9, 16, 16);
    struct Case {
        std::uint32_t from, to;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {0, 0, {}},
        {0, render_wrap, {"wrap 1"}},
        {render_wrap, 0, {"wrap 0"}},
        {0, blend_multiply, {"blend 2"}},
        {blend_multiply, blend_multiply | 0x800, {}},
        {0, render_second_mode, {"second 9 1"}},
        {0, blend_screen | render_wrap | render_second_mode, {"blend 4", "wrap 1", "second 9 1"}},
        {blend_add, blend_opaque, {"blend 3"}},
    };
    for (const Case& c : cases) {
        RecordingArtist artist;
        ASSERT_TRUE(artist.begin_scene());
        artist.set_second_texture(&second);
        artist.set_render_state(c.from);
        artist.calls.clear();
        artist.set_render_state(c.to);
        EXPECT_EQ(artist.calls, c.calls) << c.from << " -> " << c.to;
        EXPECT_EQ(artist.render_state(), c.to);
        artist.end_scene();
    }

    // A second texture bound under mode bit 9 gets that mode; resetting undoes everything.
    RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    artist.set_render_state(blend_add | render_second_mode);
    artist.set_texture_factor({0.5f, 0.5f, 0.5f, 1});
    artist.set_textures(&second, &second);
    artist.calls.clear();
    artist.reset_render_state();
    EXPECT_THAT(artist.calls, ElementsAre("blend 0", "second 9 0", "factor 1 1 1 1", "texture 0", "second 0 0"));
    artist.calls.clear();
    artist.reset_render_state();
    EXPECT_TRUE(artist.calls.empty());
    artist.end_scene();
}

TEST(Artist, BeginSceneStartsFromAKnownState)
{
    RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    EXPECT_THAT(artist.calls, ElementsAre("begin", "blend 0", "wrap 0", "texture 0", "second 0 0",
                                          "scissor 0 0 640 480", "kind 2"));
    // Leave everything pushed and changed: the next frame starts clean.
    const PlainTexture texture(3, 8, 8);
    artist.set_texture(&texture);
    artist.set_render_state(blend_add);
    artist.push_translation(Vector2<float>{5, 5});
    artist.multiply_global_color({0, 0, 0, 0});
    artist.push_scissor(Rect{0, 0, 10, 10});
    artist.set_texture_factor({0, 0, 0, 0});
    artist.end_scene();

    artist.screen = {-20, 0, 100, 100};
    ASSERT_TRUE(artist.begin_scene());
    EXPECT_EQ(artist.render_state(), 0u);
    EXPECT_EQ(artist.bound_texture(), 0u);
    EXPECT_EQ(artist.scissor(), (Rect{-20, 0, 100, 100}));
    EXPECT_EQ(artist.global_color(), (Color{1, 1, 1, 1}));
    EXPECT_EQ(artist.texture_factor(), (Color{1, 1, 1, 1}));
    artist.add_quad(square(0, 0, {1, 1, 1, 1}));
    artist.end_scene();
    EXPECT_EQ(artist.batches.back().vertices[0].x, 0.0f);
    EXPECT_EQ(artist.batches.back().vertices[0].color, 0xFFFFFFFFu);
    // The stacks were emptied: popping only logs.
    test::LogCapture log;
    ASSERT_TRUE(artist.begin_scene());
    artist.pop_transformation();
    artist.end_scene();
    EXPECT_THAT(log.text("error"), HasSubstr("\nTransformations stack underflow\n"));
}

TEST(Artist, MisuseIsLoggedAndSurvived)
{
    struct Case {
        const char* message;
        std::function<void(RecordingArtist&)> misuse;
    };
    const Case cases[] = {
        {"begin_scene already called", [](RecordingArtist& a) { EXPECT_FALSE(a.begin_scene()); }},
        {"end_scene already called",
         [](RecordingArtist& a) {
             a.end_scene();
             a.end_scene();
             ASSERT_TRUE(a.begin_scene());
         }},
        {"Transformations stack underflow", [](RecordingArtist& a) { a.pop_transformation(); }},
        {"Scissor stack underflow", [](RecordingArtist& a) { a.pop_scissor(); }},
        {"Global color stack underflow", [](RecordingArtist& a) { a.pop_global_color(); }},
        {"No vertex buffer",
         [](RecordingArtist& a) {
             a.end_scene();
             a.add_quad(square(0, 0));  // outside a scene
             a.draw_line({0, 0}, {1, 1});
             ASSERT_TRUE(a.begin_scene());
         }},
        {"No vertex buffer",
         [](RecordingArtist& a) {
             a.can_lock = false;
             a.add_quad(square(0, 0));  // the next lock fails: the quads after it are dropped
             a.flush();
             a.add_quad(square(0, 0));
             a.add_quad(square(0, 0));
             a.flush();
             a.can_lock = true;
             a.end_scene();  // the rest of this frame is lost; the next one draws
             ASSERT_TRUE(a.begin_scene());
         }},
    };
    for (const Case& c : cases) {
        test::LogCapture log;
        RecordingArtist artist;
        ASSERT_TRUE(artist.begin_scene());
        artist.add_quad(square(1, 1));
        c.misuse(artist);
        EXPECT_THAT(log.text("error"), HasSubstr(std::string("\n") + c.message + "\n")) << c.message;
        // The scene goes on as before: what is drawn afterwards arrives.
        artist.add_quad(square(2, 2));
        artist.end_scene();
        EXPECT_FALSE(artist.in_scene()) << c.message;
        ASSERT_FALSE(artist.batches.empty()) << c.message;
        EXPECT_EQ(artist.batches.back().vertices.back().x, 2.0f) << c.message;
    }
}

TEST(Artist, DroppedGeometryIsReportedOncePerLock)
{
    test::LogCapture log;
    RecordingArtist artist;
    for (int i = 0; i < 3; ++i)
        artist.add_quad(square(0, 0));
    const std::string text = log.text("error");
    std::size_t count = 0;
    for (std::size_t at = text.find("No vertex buffer"); at != std::string::npos;
         at = text.find("No vertex buffer", at + 1))
        ++count;
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(artist.batches.empty());
}

TEST(Artist, AFrameTheDeviceRefusesDrawsNothing)
{
    RecordingArtist artist;
    artist.can_begin = false;
    EXPECT_FALSE(artist.begin_scene());
    EXPECT_FALSE(artist.in_scene());
    EXPECT_TRUE(artist.calls.empty());
    artist.can_begin = true;
    EXPECT_TRUE(artist.begin_scene());
}

TEST(Artist, FpsCountsFramesEndedInEachSecond)
{
    test::ManualClock clock;
    clock.time = 5000;
    RecordingArtist artist;
    struct Step {
        std::int64_t at;
        int frames;
        std::uint32_t fps;
    };
    const Step steps[] = {
        {5000, 29, 0},   // 29 frames in the interval's first instant
        {5999, 1, 0},    // the 30th, 999 ms in: the interval is not over
        {6000, 1, 31},   // at 1000 ms the count so far, this frame included, becomes fps
        {6500, 10, 31},
        {7600, 1, 11},   // a longer interval is not divided down
    };
    for (const Step& s : steps) {
        clock.time = s.at;
        for (int i = 0; i < s.frames; ++i) {
            ASSERT_TRUE(artist.begin_scene());
            artist.end_scene();
        }
        EXPECT_EQ(artist.fps(), s.fps) << s.at;
    }
    EXPECT_EQ(artist.presented, 42);
}

TEST(Artist, StatisticsRollOverAtEachFrame)
{
    RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    artist.add_quad(square(0, 0));
    artist.transform(Transform::compose({2, 3}, 0.5f, {0, 0}));
    artist.add_quad(square(0, 0));
    artist.flush();
    artist.add_line(point(0, 0), point(1, 1));
    artist.end_scene();
    EXPECT_EQ(artist.last_draw_calls(), 0u);
    ASSERT_TRUE(artist.begin_scene());
    EXPECT_EQ(artist.last_draw_calls(), 2u);
    EXPECT_EQ(artist.last_quads(), 2u);
    EXPECT_NEAR(artist.last_area(), 100.0f + 600.0f, 1e-3f);
    artist.end_scene();
    ASSERT_TRUE(artist.begin_scene());
    EXPECT_EQ(artist.last_draw_calls(), 0u);
    EXPECT_EQ(artist.last_quads(), 0u);
    artist.end_scene();
}

TEST(Artist, DrawTextureFillRectAndDrawLineBuildTheirQuads)
{
    // A 100 x 60 image in a 128 x 64 texture: the full placement ends at (0.78125, 0.9375).
    const PlainTexture texture(5, 128, 64, 100, 60);
    RecordingArtist artist;
    ASSERT_TRUE(artist.begin_scene());
    artist.draw_texture(nullptr, {0, 0, 10, 10}, {1, 1, 1, 1});
    EXPECT_EQ(artist.vertex_count(), 0u);
    artist.draw_texture(&texture, {10, 20, 30, 40}, {0, 0, 1, 1});
    artist.fill_rect({1, 2, 3, 4}, {1, 0, 0, 1});
    artist.draw_line({0, 0}, {4, 0});
    artist.end_scene();

    ASSERT_EQ(artist.batches.size(), 3u);
    const test::RecordedBatch& drawn = artist.batches[0];
    EXPECT_EQ(drawn.texture, 5u);
    struct Corner {
        float x, y, tu, tv;
    };
    const Corner corners[] = {{10, 20, 0, 0}, {40, 20, 0.78125f, 0}, {40, 60, 0.78125f, 0.9375f}, {10, 60, 0, 0.9375f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(drawn.vertices[i].x, corners[i].x) << i;
        EXPECT_EQ(drawn.vertices[i].y, corners[i].y) << i;
        EXPECT_EQ(drawn.vertices[i].tu, corners[i].tu) << i;
        EXPECT_EQ(drawn.vertices[i].tv, corners[i].tv) << i;
        EXPECT_EQ(drawn.vertices[i].color, 0xFF0000FFu) << i;
    }
    EXPECT_EQ(artist.batches[1].texture, 0u);
    EXPECT_EQ(artist.batches[1].vertices[2].x, 4.0f);
    EXPECT_EQ(artist.batches[1].vertices[2].y, 6.0f);
    EXPECT_EQ(artist.batches[1].vertices[0].color, 0xFFFF0000u);
    EXPECT_EQ(artist.batches[2].kind, primitive_lines);
    EXPECT_EQ(artist.batches[2].vertices[1].x, 4.5f);
    EXPECT_EQ(artist.batches[2].vertices[1].color, 0xFFFFFFFFu);
}

TEST(Artist, PrimitiveCountDividesByTheKindsVertices)
{
    struct Case {
        std::uint32_t vertices, kind, count;
    };
    const Case cases[] = {{5, 0, 2}, {12, 1, 4}, {12, 2, 3}, {4000, 2, 1000}, {8, 3, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(primitive_count(c.vertices, c.kind), c.count) << c.vertices << " " << c.kind;
}

}
}
