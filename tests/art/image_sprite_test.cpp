#include "engine/art/image_sprite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "art_res_support.h"
#include "art_test_support.h"
#include "engine/base/bstream.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {
namespace {

ResHandle<Texture> texture_handle(const std::string& path)
{
    return ResHandle<Texture>(ResKey{path, 0});
}

// An image sprite at the origin with no pivot, of a size, showing the texture of the path.
SharedPtr<ImageSprite> image(const std::string& path, Vector2<float> size)
{
    SharedPtr<ImageSprite> sprite(new ImageSprite);
    sprite->set_size(size);
    sprite->set_pivot({0, 0});
    sprite->set_texture(texture_handle(path));
    return sprite;
}

TEST(ImageSprite, PlacementsGiveTheTextureRectangle)
{
    TestResources resources;
    resources.add<Texture>("t256.png", SharedPtr<Texture>(new FakeTexture(256, 256, 256, 256)));
    resources.add<Texture>("t200.png", SharedPtr<Texture>(new FakeTexture(256, 128, 200, 100)));
    struct Case {
        const char* what;
        const char* texture;
        ArtTexturePlacement placement;
        Vector2<float> size;
        Vector2<int> tbegin, tsize;
        Rect expected;
    };
    const Case cases[] = {
        {"texel", "t256.png", ArtTexturePlacement::texel, {100, 50}, {10, 20}, {1, 1},
         {10.f / 256, 20.f / 256, 100.f / 256, 50.f / 256}},
        {"full ignores the size", "t200.png", ArtTexturePlacement::full, {33, 7}, {5, 5}, {1, 1},
         {0, 0, 200.f / 256, 100.f / 128}},
        {"stretch", "t256.png", ArtTexturePlacement::stretch, {10, 10}, {16, 32}, {64, 128},
         {16.f / 256, 32.f / 256, 64.f / 256, 128.f / 256}},
        {"tile", "t256.png", ArtTexturePlacement::tile, {128, 64}, {0, 0}, {32, 32}, {0, 0, 4, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SharedPtr<ImageSprite> sprite = image(c.texture, c.size);
        sprite->set_source_rect(c.tbegin, c.tsize);
        sprite->set_placement(c.placement);
        const Sprite::Quads& quads = sprite->world_quads();
        ASSERT_EQ(quads.size(), 1u);
        const Rect& r = sprite->texture_rect();
        EXPECT_FLOAT_EQ(r.x, c.expected.x);
        EXPECT_FLOAT_EQ(r.y, c.expected.y);
        EXPECT_FLOAT_EQ(r.w, c.expected.w);
        EXPECT_FLOAT_EQ(r.h, c.expected.h);
        // Corners clockwise from the top left, with the rectangle's coordinates.
        const QuadVertex& br = quads[0].v[2];
        EXPECT_FLOAT_EQ(br.x, c.size.x);
        EXPECT_FLOAT_EQ(br.y, c.size.y);
        EXPECT_FLOAT_EQ(br.tu, c.expected.x + c.expected.w);
        EXPECT_FLOAT_EQ(br.tv, c.expected.y + c.expected.h);
        EXPECT_FLOAT_EQ(quads[0].v[0].tu, c.expected.x);
        EXPECT_FLOAT_EQ(quads[0].v[3].tv, c.expected.y + c.expected.h);
    }
    // Without a texture the quad keeps zero coordinates.
    SharedPtr<ImageSprite> bare(new ImageSprite);
    EXPECT_FLOAT_EQ(bare->world_quads()[0].v[2].tu, 0.0f);
}

TEST(ImageSprite, ProjectivePlacementFollowsTheWorldPosition)
{
    TestResources resources;
    resources.add<Texture>("screen.png", SharedPtr<Texture>(new FakeTexture(128, 64, 100, 50)));
    SharedPtr<ImageSprite> sprite = image("screen.png", {20, 10});
    sprite->set_placement(ArtTexturePlacement::projective);
    sprite->set_source_rect({0, 0}, {100, 50});
    sprite->set_placement(ArtTexturePlacement::projective);
    struct Case {
        Vector2<float> position;
        float u0, v0;  // of the top-left vertex
    };
    const Case cases[] = {
        {{40, 30}, 40.f / 128, 30.f / 64},
        {{-15, 5}, 0, 5.f / 64},           // left of the screen: clamped to the image's left edge
        {{95, 45}, 95.f / 128, 45.f / 64},  // the bottom-right corner clamps to the image size
    };
    for (const Case& c : cases) {
        sprite->set_position(c.position);
        const Sprite::Quads& quads = sprite->world_quads();
        EXPECT_FLOAT_EQ(quads[0].v[0].tu, c.u0) << c.position.x;
        EXPECT_FLOAT_EQ(quads[0].v[0].tv, c.v0) << c.position.x;
        EXPECT_FLOAT_EQ(quads[0].v[2].tu, std::min(c.position.x + 20, 100.f) / 128) << c.position.x;
        EXPECT_FLOAT_EQ(quads[0].v[2].tv, std::min(c.position.y + 10, 50.f) / 64) << c.position.x;
    }
}

TEST(ImageSprite, AGridSharesItsPointsBetweenNeighbouringCells)
{
    TestResources resources;
    resources.add<Texture>("t.png", SharedPtr<Texture>(new FakeTexture(64, 64, 64, 64)));
    SharedPtr<ImageSprite> sprite = image("t.png", {30, 20});
    sprite->set_pivot({10, 0});
    sprite->set_grid({3, 2});
    const Sprite::Quads& quads = sprite->world_quads();
    ASSERT_EQ(quads.size(), 6u);
    // Grid point (i, j) at (-10 + 10 i, 10 j) with coordinates (10 i / 64, 10 j / 64).
    auto expect_point = [](const QuadVertex& v, int i, int j) {
        EXPECT_FLOAT_EQ(v.x, -10.0f + 10.0f * float(i));
        EXPECT_FLOAT_EQ(v.y, 10.0f * float(j));
        EXPECT_FLOAT_EQ(v.tu, 10.0f * float(i) / 64);
        EXPECT_FLOAT_EQ(v.tv, 10.0f * float(j) / 64);
    };
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(std::to_string(i) + "," + std::to_string(j));
            const Quad& q = quads[std::size_t(j * 3 + i)];
            expect_point(q.v[0], i, j);
            expect_point(q.v[1], i + 1, j);
            expect_point(q.v[2], i + 1, j + 1);
            expect_point(q.v[3], i, j + 1);
        }
    }
}

TEST(ImageSprite, FullClickabilityHitsOnlyVisiblePixels)
{
    TestResources resources;
    auto* texture = new FakeTexture(16, 16, 16, 16);
    // Opaque on the left half, transparent on the right.
    texture->m_pixel = [](Vector2<int> p) { return p.x < 8 ? 0xFF102030u : 0x00FFFFFFu; };
    resources.add<Texture>("half.png", SharedPtr<Texture>(texture));
    SharedPtr<ImageSprite> sprite = image("half.png", {16, 16});
    sprite->set_position(Vector2<float>{100, 100});
    sprite->set_shape(SpriteShape::visible);
    struct Case {
        Sprite::Clickability clickability;
        Vector2<float> point;
        bool hit;
    };
    const Case cases[] = {
        {Sprite::Clickability::full, {103, 108}, true},
        {Sprite::Clickability::full, {112, 108}, false},
        {Sprite::Clickability::full, {99, 108}, false},
        {Sprite::Clickability::full, {103, 116}, false},
        {Sprite::Clickability::childs, {103, 108}, false},
    };
    for (const Case& c : cases) {
        sprite->set_clickability(c.clickability);
        EXPECT_EQ(sprite->hit_test(c.point), c.hit) << c.point.x << "," << c.point.y;
    }
    // The rectangle shape hits first, transparent or not.
    sprite->set_shape(SpriteShape::rectangle);
    EXPECT_TRUE(sprite->hit_test({112, 108}));
}

TEST(ImageSprite, PropertiesRoundAndClamp)
{
    SharedPtr<ImageSprite> sprite(new ImageSprite);
    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> append = [&ids](std::int32_t id) { ids.push_back(id); };
    sprite->property(property_list, all_properties, &append);
    EXPECT_THAT(ids, testing::ElementsAre(2000, 2010, 2011, 2100, 2110, 2111, 2120, 2121, 1000, 1001, 1002, 1010,
                                          1011, 1020, 1021, 1022, 1030));

    float pair[2] = {2.5f, -2.5f};
    sprite->property(property_set, SP_TBEGIN, pair);
    EXPECT_EQ(sprite->tbegin(), (Vector2<int>{3, -3}));
    float size[2] = {7.4f, 0.5f};
    sprite->property(property_set, image_property_secondary_tsize, size);
    EXPECT_EQ(sprite->secondary_tsize(), (Vector2<int>{7, 1}));
    float alpha = 1.5f;
    sprite->property(property_set, image_property_secondary_alpha, &alpha);
    EXPECT_FLOAT_EQ(sprite->texture_factor().a, 1.0f);
    alpha = 0.25f;
    sprite->property(property_set, image_property_secondary_alpha, &alpha);
    EXPECT_FLOAT_EQ(sprite->texture_factor().a, 0.25f);

    std::int32_t blend = 5;
    sprite->property(property_set, image_property_secondary_blend, &blend);
    EXPECT_EQ(sprite->render_state() & 0x200u, 0x200u);
    std::int32_t read = -1;
    sprite->property(property_get, image_property_secondary_blend, &read);
    EXPECT_EQ(read, 1);
    blend = 0;
    sprite->property(property_set, image_property_secondary_blend, &blend);
    EXPECT_EQ(sprite->render_state() & 0x200u, 0u);

    ResHandle<Texture> handle = texture_handle("a.png");
    sprite->property(property_set, SP_TEXTURE, &handle);
    ResHandle<Texture> got;
    sprite->property(property_get, SP_TEXTURE, &got);
    EXPECT_EQ(got.path(), "a.png");
    StrCache type;
    sprite->property(property_type, SP_TEXTURE, &type);
    EXPECT_EQ(type, StrCache("class kq::ResHandle<class kq::Texture>"));
    // The sprite's own properties still answer through the image sprite.
    float position[2] = {4, 5};
    sprite->property(property_set, SP_POSITION, position);
    EXPECT_EQ(sprite->position(), (Vector2<float>{4, 5}));
}

// The bytes of the image part after the sprite part, up to a version.
std::string image_tail(int version)
{
    std::string bytes = std::string("\0\0", 2) + le32(5) + "a.png" + le32(0) + std::string("\0\0", 2) + le32(0) + le32(0);
    bytes += le32(2) + le32(1) + le32(2) + le32(3) + le32(4);  // stretch, tbegin, tsize
    if (version >= 1)
        bytes += le32(2) + le32(3);
    if (version >= 2)
        bytes += le32(3) + le32(5) + le32(6) + le32(7) + le32(8);
    if (version >= 3)
        bytes += le32(0x3F800000) + le32(0) + le32(0) + le32(0x3F000000);
    return bytes;
}

TEST(ImageSprite, BinaryFormReadsEveryVersion)
{
    SharedPtr<ImageSprite> source(new ImageSprite);
    source->set_texture(texture_handle("a.png"));
    source->set_secondary_texture(texture_handle("b.png"));
    source->set_source_rect({1, 2}, {3, 4});
    source->set_placement(ArtTexturePlacement::stretch);
    source->set_grid({2, 3});
    source->set_secondary_placement(ArtTexturePlacement::tile);
    source->set_texture_factor({1, 0, 0, 0.5f});
    ImageSprite copy;
    load_bytes(copy, own_bytes(*source));
    EXPECT_EQ(copy.texture().path(), "a.png");
    EXPECT_EQ(copy.secondary_texture().path(), "b.png");
    EXPECT_EQ(copy.placement(), ArtTexturePlacement::stretch);
    EXPECT_EQ(copy.tsize(), (Vector2<int>{3, 4}));
    EXPECT_EQ(copy.grid(), (Vector2<int>{2, 3}));
    EXPECT_EQ(copy.secondary_placement(), ArtTexturePlacement::tile);
    EXPECT_TRUE(copy.texture_factor() == (Color{1, 0, 0, 0.5f}));

    const std::string sprite_part = own_bytes(Sprite());
    struct Case {
        int version;
        Vector2<int> grid;
        ArtTexturePlacement secondary;
        Color factor;
    };
    const Case cases[] = {
        {0, {1, 1}, ArtTexturePlacement::texel, {1, 1, 1, 1}},
        {1, {2, 3}, ArtTexturePlacement::texel, {1, 1, 1, 1}},
        {2, {2, 3}, ArtTexturePlacement::tile, {1, 1, 1, 1}},
        {3, {2, 3}, ArtTexturePlacement::tile, {1, 0, 0, 0.5f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        ImageSprite read;
        load_bytes(read, u8(std::uint8_t(c.version)) + sprite_part + image_tail(c.version));
        EXPECT_EQ(read.texture().path(), "a.png");
        EXPECT_EQ(read.placement(), ArtTexturePlacement::stretch);
        EXPECT_EQ(read.tbegin(), (Vector2<int>{1, 2}));
        EXPECT_EQ(read.tsize(), (Vector2<int>{3, 4}));
        EXPECT_EQ(read.grid(), c.grid);
        EXPECT_EQ(read.secondary_placement(), c.secondary);
        EXPECT_TRUE(read.texture_factor() == c.factor);
    }

    struct Damage {
        const char* what;
        std::string bytes;
        const char* error;
    };
    const std::string v1 = u8(1) + sprite_part + image_tail(1);
    const Damage damages[] = {
        {"later version", u8(4) + sprite_part + image_tail(3), "unsupported version."},
        {"short field", v1.substr(0, v1.size() - 2), "unexpected end of buffer."},
        {"empty grid", u8(1) + sprite_part + image_tail(0) + le32(0) + le32(3), "invalid grid."},
        {"huge grid", u8(1) + sprite_part + image_tail(0) + le32(0x10000) + le32(0x10000), "invalid grid."},
        {"path longer than the file", u8(0) + sprite_part + std::string("\0\0", 2) + le32(0xFFFFFF), "unexpected end of buffer."},
    };
    for (const Damage& d : damages) {
        ImageSprite read;
        EXPECT_THAT(error_of([&] { load_bytes(read, d.bytes); }), testing::HasSubstr(d.error)) << d.what;
    }
}

TEST(ImageSprite, SkinKeysSetTheTextures)
{
    TestSkinEnvironment skin(R"(
        picture "class kq::ImageSprite" {
            state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(10, 10)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 96
            texture "Art/Pic.PNG" placement stretch tbegin [(1, 2)] tsize [(3, 4)]
            secondary_texture "" secondary_placement projective secondary_tbegin [(5, 6)] secondary_tsize [(7, 8)]
        }
    )");
    ImageSprite sprite;
    sprite.read_skin(SkinPath("picture"));
    EXPECT_EQ(sprite.texture().path(), "art/pic.png");
    EXPECT_EQ(sprite.placement(), ArtTexturePlacement::stretch);
    EXPECT_EQ(sprite.tbegin(), (Vector2<int>{1, 2}));
    EXPECT_EQ(sprite.tsize(), (Vector2<int>{3, 4}));
    EXPECT_TRUE(sprite.secondary_texture().empty());
    EXPECT_EQ(sprite.secondary_placement(), ArtTexturePlacement::projective);
    EXPECT_EQ(sprite.secondary_tbegin(), (Vector2<int>{5, 6}));
    EXPECT_EQ(sprite.secondary_tsize(), (Vector2<int>{7, 8}));
}

}
}
