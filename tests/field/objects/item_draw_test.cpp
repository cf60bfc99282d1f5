#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game/field/field.h"
#include "tests/art/art_res_support.h"
#include "tests/field/drawn_quads.h"
#include "tests/field/item_fixture.h"

namespace kq {
namespace {

using test::DrawnQuad;
using test::drawn_quads;
using test::PlainTexture;
using test::probe;
using test::ProbeItem;

// Items of 20 x 10 pixels on a field, drawn pass by pass into a recording artist; the
// textures are plain handles: 1 base, 2 diffuse, 3 specular, 4 shadow, each 64 x 64.
class ItemDraw : public testing::Test
{
protected:
    ItemDraw()
    {
        for (int handle = 1; handle <= 4; ++handle)
            m_resources.add(names[handle - 1], SharedPtr<Texture>(new PlainTexture(TextureHandle(handle), 64, 64)));
        m_artist.begin_scene();
    }

    ProbeItem* add(const std::string& keys, Vector2<float> position, float angle = 0.0f)
    {
        ProbeItem* item = probe("size [(20, 10)] base_texture \"base.png\" " + keys);
        m_field.add_item(item, {position, angle});
        item->prepare_quads();
        return item;
    }

    static constexpr const char* names[] = {"base.png", "diffuse.png", "specular.png", "shadow.png"};

    test::TestResources m_resources;
    test::FakeGame m_game;
    Field m_field{FieldSettings{}, m_game};
    test::RecordingArtist m_artist;
};

TEST_F(ItemDraw, EachPassDrawsItsQuadWithItsTexturesAndBlending)
{
    ProbeItem* item = add("diffuse_texture \"diffuse.png\" specular_texture \"specular.png\" "
                          "shadow_texture \"shadow.png\" shadow_tbegin [(32, 16)]",
                          {100, 50});
    ProbeItem* glow = add("additive true", {300, 50});

    struct Case {
        Item* item;
        int pass;
        TextureHandle texture, second;
        std::uint32_t state;
    };
    const Case cases[] = {
        {item, 0, 1, 2, 0}, {item, 1, 3, 0, 1}, {item, 2, 4, 0, 0},
        {glow, 0, 1, 0, 1}, {glow, 1, 0, 0, 0}, {glow, 2, 1, 0, 0},
    };
    for (const Case& c : cases) {
        c.item->draw(c.pass, m_artist);
        const std::vector<DrawnQuad> quads = drawn_quads(m_artist);
        if (c.pass == 1 && c.item == glow) {
            EXPECT_TRUE(quads.empty()) << "no highlight without its texture";
            continue;
        }
        ASSERT_EQ(quads.size(), 1u) << "pass " << c.pass;
        const DrawnQuad& q = quads[0];
        EXPECT_EQ(q.texture, c.texture) << "pass " << c.pass;
        EXPECT_EQ(q.second_texture, c.second) << "pass " << c.pass;
        EXPECT_EQ(q.state & 7u, c.state) << "pass " << c.pass;
        // Corners in order: top left, top right, bottom right, bottom left.
        const float cx = c.item->position().x;
        EXPECT_FLOAT_EQ(q.x(0), cx - 10);
        EXPECT_FLOAT_EQ(q.y(0), 45);
        EXPECT_FLOAT_EQ(q.x(2), cx + 10);
        EXPECT_FLOAT_EQ(q.y(2), 55);
    }

    // The base image's rectangle is 20 x 10 texels from (0, 0); the shadow's from (32, 16).
    item->draw(0, m_artist);
    item->draw(2, m_artist);
    item->draw(7, m_artist);
    const std::vector<DrawnQuad> quads = drawn_quads(m_artist);
    ASSERT_EQ(quads.size(), 2u) << "an unknown pass draws nothing";
    EXPECT_FLOAT_EQ(quads[0].v[2].tu, 20.0f / 64);
    EXPECT_FLOAT_EQ(quads[0].v[2].tv, 10.0f / 64);
    EXPECT_FLOAT_EQ(quads[1].v[0].tu, 32.0f / 64);
    EXPECT_FLOAT_EQ(quads[1].v[2].tv, 26.0f / 64);
}

TEST_F(ItemDraw, DiffuseAndHighlightStayUprightWhileTheItemTurns)
{
    const float quarter = 1.5707964f;
    ProbeItem* item = add("diffuse_texture \"diffuse.png\" specular_texture \"specular.png\"", {100, 50}, quarter);
    item->draw(0, m_artist);
    item->draw(1, m_artist);
    const std::vector<DrawnQuad> quads = drawn_quads(m_artist);
    ASSERT_EQ(quads.size(), 2u);

    // Turned a quarter, the base quad's first corner lies at the top right on the screen;
    // the diffuse coordinates follow the screen place, as if the item had not turned.
    const DrawnQuad& base = quads[0];
    EXPECT_NEAR(base.x(0), 105, 1e-3);
    EXPECT_NEAR(base.y(0), 40, 1e-3);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(base.v[i].tu2, (base.x(i) - 100 + 10) / 20 * (20.0f / 64), 1e-5) << i;
        EXPECT_NEAR(base.v[i].tv2, (base.y(i) - 50 + 5) / 10 * (10.0f / 64), 1e-5) << i;
    }
    // The highlight does not turn with the body.
    const DrawnQuad& highlight = quads[1];
    EXPECT_FLOAT_EQ(highlight.x(0), 90);
    EXPECT_FLOAT_EQ(highlight.y(0), 45);
}

TEST_F(ItemDraw, ShadowsFallByHeightAsSilhouettesUnlessTheyHaveTheirOwnImage)
{
    ProbeItem* flat = add("height 2", {100, 50});
    ProbeItem* shaded = add("height 2 shadow_texture \"shadow.png\"", {200, 50});
    ProbeItem* sunk = add("height -0.5", {300, 50});
    ProbeItem* shadowless = add("have_shadow false", {400, 50});
    ProbeItem* hidden = add("invisible true", {500, 50});

    flat->draw_layer(2, m_artist);
    std::vector<DrawnQuad> quads = drawn_quads(m_artist);
    ASSERT_EQ(quads.size(), 1u);
    // Height 2 and shift 4 move the shadow by (14, 14); without a shadow image the base image
    // is drawn 40 % black.
    EXPECT_FLOAT_EQ(quads[0].x(0), 90 + 14);
    EXPECT_FLOAT_EQ(quads[0].y(0), 45 + 14);
    EXPECT_EQ(quads[0].texture, 1u);
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_EQ(quads[0].channel(0, channel), 0.0f);
    EXPECT_NEAR(quads[0].alpha(0), 0.4f, 1.0f / 255);

    shaded->draw_layer(2, m_artist);
    quads = drawn_quads(m_artist);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].texture, 4u);
    EXPECT_EQ(quads[0].v[0].color, 0xFFFFFFFFu) << "a shadow image is drawn as it is";

    for (ProbeItem* none : {sunk, shadowless, hidden})
        none->draw_layer(2, m_artist);
    hidden->draw_layer(0, m_artist);
    EXPECT_TRUE(drawn_quads(m_artist).empty());

    // The artist's state is as it was: the next quad is neither moved nor darkened.
    flat->draw(0, m_artist);
    quads = drawn_quads(m_artist);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_FLOAT_EQ(quads[0].x(0), 90);
    EXPECT_EQ(quads[0].v[0].color, 0xFFFFFFFFu);
}

TEST_F(ItemDraw, SinkingItemsFadeOut)
{
    ProbeItem* item = add("", {100, 50});
    struct Case {
        float height;
        float alpha;
    };
    for (const Case& c : {Case{0.0f, 1.0f}, Case{-1.0f, 0.8f}, Case{-2.5f, 0.5f}, Case{-5.0f, 0.0f}}) {
        item->set_height(c.height);
        item->prepare_quads();
        item->draw_layer(0, m_artist);
        const std::vector<DrawnQuad> quads = drawn_quads(m_artist);
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_NEAR(quads[0].alpha(0), c.alpha, 1.0f / 255) << "height " << c.height;
    }
}

}
}
