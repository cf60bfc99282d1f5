#include "engine/art/frame_sprite.h"

#include <gtest/gtest.h>

#include "tests/platform/recording_artist.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {
namespace {

TEST(FrameSprite, OutlinesFallOnTheLastPixelsAndFillsCoverTheRectangle)
{
    struct Case {
        bool solid;
        std::uint32_t kind;
        float far;  // the right and bottom edge
        std::size_t vertices;
    };
    const Case cases[] = {{false, primitive_lines, 9, 8}, {true, primitive_quads, 10, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.solid);
        FrameSprite frame;
        frame.set_pivot({0, 0});
        frame.set_size(Vector2<float>{10, 10});
        frame.set_solid(c.solid);
        const Quad& quad = frame.world_quads()[0];
        const float xs[] = {0, c.far, c.far, 0};
        const float ys[] = {0, 0, c.far, c.far};
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(quad.v[i].x, xs[i]) << i;
            EXPECT_FLOAT_EQ(quad.v[i].y, ys[i]) << i;
        }

        RecordingArtist artist;
        artist.begin_scene();
        frame.render(artist);
        artist.end_scene();
        ASSERT_EQ(artist.batches.size(), 1u);
        const RecordedBatch& batch = artist.batches[0];
        EXPECT_EQ(batch.kind, c.kind);
        EXPECT_EQ(batch.texture, 0u);
        ASSERT_EQ(batch.vertices.size(), c.vertices);
        if (!c.solid) {
            // Edges 0-1, 1-2, 2-3, 3-0.
            const int order[] = {0, 1, 1, 2, 2, 3, 3, 0};
            for (int i = 0; i < 8; ++i)
                EXPECT_FLOAT_EQ(batch.vertices[std::size_t(i)].x, xs[order[i]] + 0.5f) << i;  // lines pass through pixel centres
        }
    }
}

TEST(FrameSprite, SolidComesFromTheSkin)
{
    TestSkinEnvironment skin(R"(
        box "class kq::FrameSprite" {
            state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(10, 10)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 0, 0)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 96 solid true
        }
    )");
    FrameSprite frame;
    frame.read_skin(SkinPath("box"));
    EXPECT_TRUE(frame.is_solid());
}

}
}
