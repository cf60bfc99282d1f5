#include "engine/platform/texture_atlas.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/tstream.h"
#include "engine/res/res.h"
#include "tests/platform/atlas_bytes.h"
#include "tests/platform/recording_artist.h"

namespace kq {
namespace {

using test::AtlasBytes;
using testing::HasSubstr;

const char* const two_sprites =
    "Texture main { filename = \"Art/Page.PNG\" resgroup = all }\n"
    "Sprite \"UI\\\\Button\" { texture = main rect = 0, 8, 32, 16 resgroup = all }\n"
    "Sprite ball { texture = main rect = 10h, -2, 4, 4 resgroup = all }\n"
    "Sprite ball { texture = main rect = 1, 2, 3, 4 resgroup = all }\n";

bool read_text(TextureAtlas& atlas, const std::string& text)
{
    StringBuffer buffer(text);
    TStream stream(buffer);
    return atlas.read_text(stream);
}

bool read_binary(TextureAtlas& atlas, const std::string& bytes)
{
    StringBuffer buffer(bytes);
    Stream stream(buffer);
    return atlas.read_binary(stream);
}

TEST(TextureAtlas, ReadsTheTextFormOfOnePage)
{
    TextureAtlas atlas;
    ASSERT_TRUE(read_text(atlas, two_sprites));
    ASSERT_EQ(atlas.pages().size(), 1u);
    const TextureAtlas::Page& page = atlas.pages()[0];
    EXPECT_EQ(page.texture.key(), (ResKey{"art/page.png", 0x10}));
    ASSERT_EQ(page.sprites.size(), 2u);
    EXPECT_EQ(page.sprites.at("ui/button"), (RectI{0, 8, 32, 16}));
    EXPECT_EQ(page.sprites.at("ball"), (RectI{1, 2, 3, 4}));  // the later one replaces

    // A second text form adds a page; one without sprites has an empty map.
    ASSERT_TRUE(read_text(atlas, "Texture x { filename = b.png resgroup = g }"));
    ASSERT_EQ(atlas.pages().size(), 2u);
    EXPECT_TRUE(atlas.pages()[1].sprites.empty());

    // A hexadecimal token converts as the text format converts integers.
    TextureAtlas hex;
    ASSERT_TRUE(read_text(hex, "Texture x { filename = b.png resgroup = g }"
                               " Sprite s { texture = x rect = 10h, 0, 1, 1 resgroup = g }"));
    EXPECT_EQ(hex.pages()[0].sprites.at("s").x, 16);
}

TEST(TextureAtlas, RejectsOrFailsOnBrokenText)
{
    TextureAtlas other;
    EXPECT_FALSE(read_text(other, "Atlas main { }"));
    EXPECT_FALSE(read_text(other, ""));
    EXPECT_TRUE(other.pages().empty());

    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"Texture main { file = a.png resgroup = g }", "unexpected symbol 'file', must be 'filename'"},
        {"Texture main { filename = a.png resgroup = g", "end of file"},
        {"Texture main { filename = a.png resgroup = g } Sprite", "unexcepted end of file reached."},
        {"Texture main { filename = a.png resgroup = g } Image s { }", "must be 'Sprite'"},
        {"Texture main { filename = a.png resgroup = g } Sprite s { texture = main rect = 1 2 3 4 resgroup = g }",
         "must be ','"},
        {"Texture main { filename = a.png resgroup = g } Sprite s { texture = main rect = 1, 2, 3, 4 }",
         "must be 'resgroup'"},
        {"Texture", "unexcepted end of file reached."},
    };
    for (const Case& c : cases) {
        TextureAtlas atlas;
        try {
            read_text(atlas, c.text);
            ADD_FAILURE() << c.text;
        } catch (const IOException& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.error)) << c.text;
        }
        EXPECT_TRUE(atlas.pages().empty()) << c.text;
    }
}

TEST(TextureAtlas, ReadsTheBinaryFormOfManyPages)
{
    const std::string bytes = AtlasBytes()
                                  .u32(2)
                                  .page("a.png", 15, 2)
                                  .sprite("Ball", 1, 2, 3, 4)
                                  .sprite("Ball", -5, 6, 7, 8)
                                  .page("b.png", 0x10, 1)
                                  .sprite("Box", 0, 0, 64, 64)
                                  .bytes;
    TextureAtlas atlas;
    ASSERT_TRUE(read_binary(atlas, bytes));
    ASSERT_EQ(atlas.pages().size(), 2u);
    EXPECT_EQ(atlas.pages()[0].texture.key(), (ResKey{"a.png", 15}));
    EXPECT_EQ(atlas.pages()[0].sprites.size(), 1u);
    EXPECT_EQ(atlas.pages()[0].sprites.at("Ball"), (RectI{-5, 6, 7, 8}));  // names taken as stored
    EXPECT_EQ(atlas.pages()[1].texture.key(), (ResKey{"b.png", 0x10}));
    EXPECT_EQ(atlas.pages()[1].sprites.at("Box"), (RectI{0, 0, 64, 64}));

    // No pages is a valid, empty atlas, and replaces what was there.
    ASSERT_TRUE(read_binary(atlas, AtlasBytes().u32(0).bytes));
    EXPECT_TRUE(atlas.pages().empty());
}

TEST(TextureAtlas, DamagedBinaryFormsFailWithoutAllocating)
{
    const std::string whole = AtlasBytes().u32(1).page("a.png", 0, 1).sprite("s", 1, 2, 3, 4).bytes;
    // Every cut of a valid file ends early somewhere: in a count, a marker, a string, the flags
    // or the integers of a sprite.
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        TextureAtlas atlas;
        try {
            read_binary(atlas, whole.substr(0, cut));
            ADD_FAILURE() << cut;
        } catch (const IOException& error) {
            EXPECT_THAT(error.message(), HasSubstr("unexpected end of buffer.")) << cut;
        }
    }

    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"huge page count", AtlasBytes().u32(0xFFFFFFFF).bytes},
        {"page count beyond the file", AtlasBytes().u32(2).page("a.png", 0, 0).bytes},
        {"huge sprite count", AtlasBytes().u32(1).page("a.png", 0, 0x7FFFFFFF).bytes},
        {"huge path length", AtlasBytes().u32(1).u32(0).u32(0xFFFFFFF0).u32(0).u32(0).bytes},
        {"huge name length", AtlasBytes().u32(1).page("a.png", 0, 1).u32(0xFFFFFFFF).u32(0).u32(0).u32(0).u32(0).bytes},
    };
    for (const Case& c : cases) {
        TextureAtlas atlas;
        ASSERT_TRUE(read_binary(atlas, AtlasBytes().u32(1).page("kept.png", 0, 0).bytes));
        try {
            read_binary(atlas, c.bytes);
            ADD_FAILURE() << c.what;
        } catch (const IOException& error) {
            EXPECT_THAT(error.message(), HasSubstr("unexpected end of buffer.")) << c.what;
        }
        ASSERT_EQ(atlas.pages().size(), 1u) << c.what;
        EXPECT_EQ(atlas.pages()[0].texture.path(), "kept.png") << c.what;
    }
}

TEST(TextureAtlas, FindsASpriteOnTheFirstPageHoldingIt)
{
    SharedPtr<Res> res(new Res);
    const std::string bytes = AtlasBytes()
                                  .u32(3)
                                  .page("a.png", 0x10, 1)
                                  .sprite("one", 1, 1, 1, 1)
                                  .page("b.png", 0x10, 2)
                                  .sprite("two", 2, 2, 2, 2)
                                  .sprite("both", 3, 3, 3, 3)
                                  .page("c.png", 0x10, 1)
                                  .sprite("both", 4, 4, 4, 4)
                                  .bytes;
    TextureAtlas atlas;
    ASSERT_TRUE(read_binary(atlas, bytes));
    SharedPtr<Texture> b(new test::PlainTexture(2, 8, 8));
    res->add_resource({type_name<Texture>(), {"b.png", 0x10}}, b);
    struct Case {
        const char* name;
        bool found;
        const char* page;
        RectI rect;
    };
    const Case cases[] = {
        {"one", true, "a.png", {1, 1, 1, 1}},
        {"two", true, "b.png", {2, 2, 2, 2}},
        {"both", true, "b.png", {3, 3, 3, 3}},
        {"Both", false, "old.png", {9, 9, 9, 9}},
        {"", false, "old.png", {9, 9, 9, 9}},
    };
    for (const Case& c : cases) {
        ResHandle<Texture> page(ResKey{"old.png", 0});
        RectI rect{9, 9, 9, 9};
        EXPECT_EQ(atlas.find(c.name, page, rect), c.found) << c.name;
        EXPECT_EQ(page.path(), c.page) << c.name;
        EXPECT_EQ(rect, c.rect) << c.name;
    }

    // The handle found names the page's texture and its flags.
    ResHandle<Texture> page;
    RectI rect;
    ASSERT_TRUE(atlas.find("two", page, rect));
    EXPECT_EQ(page.key(), (ResKey{"b.png", 0x10}));
    EXPECT_EQ(page.get(), b.get());
}

}
}
