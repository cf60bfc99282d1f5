#include "engine/art/text_sprite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "art_res_support.h"
#include "art_test_support.h"
#include "engine/base/buffer.h"
#include "engine/base/enum_desc.h"
#include "engine/base/string_stream.h"
#include "engine/base/tstream.h"
#include "engine/res/dictionary.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {
namespace {

// Letters advance 10 and stand 20 high; the space advances 5.
SharedPtr<Font> letters_font()
{
    SharedPtr<Font> font(new Font);
    StringBuffer buffer("HGEFONT Bitmap=letters.png Char=\"A\",0,0,10,20,0,0 Char=\"B\",10,0,10,20,0,0 "
                        "Char=\"X\",20,0,10,20,0,0 Char=\"Y\",30,0,10,20,0,0 Char=\" \",0,0,0,0,0,5\n");
    TStream stream(buffer);
    EXPECT_TRUE(font->parse(stream));
    return font;
}

using Lines = std::vector<TextSprite::Line>;

TEST(TextSprite, LinesBreakAtWordsThatDoNotFit)
{
    const SharedPtr<Font> font = letters_font();
    struct Case {
        const char* what;
        std::u16string text;
        float width;
        Lines lines;
    };
    const Case cases[] = {
        {"the space and the next word overflow", u"AB AB", 40, {{0, 2, 20}, {3, 5, 20}}},
        {"the space and the next word fit", u"AB AB", 45, {{0, 5, 45}}},
        {"two newlines leave an empty line", u"AB\n\nAB", 100, {{0, 2, 20}, {3, 3, 0}, {4, 6, 20}}},
        {"a leading newline makes no empty line", u"\nAB", 100, {{1, 3, 20}}},
        {"a word wider than the sprite stands alone", u"A ABABA B", 30, {{0, 1, 10}, {2, 7, 50}, {8, 9, 10}}},
        {"spaces at a line start belong to no line", u"AB   AB", 30, {{0, 2, 20}, {5, 7, 20}}},
        {"a break mark ends its word", u"X\u3002Y", 10, {{0, 2, 10}, {2, 3, 10}}},
        {"marks after spaces are skipped", u"X \u3002\u3002Y", 100, {{0, 5, 25}}},
        {"nothing but spaces", u"   ", 100, {}},
        {"empty", u"", 100, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextSprite::break_lines(c.text, *font, c.width), c.lines) << c.what;
}

class TextLayout : public testing::Test
{
protected:
    TextLayout() { resources.add<Font>("letters.fnt", letters_font()); }

    SharedPtr<TextSprite> text(const std::string& source, Vector2<float> size, ArtAlign valign, ArtAlign halign)
    {
        SharedPtr<TextSprite> sprite(new TextSprite);
        sprite->set_font(ResHandle<Font>(ResKey{"letters.fnt", 0}));
        sprite->set_size(size);
        sprite->set_pivot({0, 0});
        sprite->set_text(source);
        sprite->set_alignment(valign, halign);
        return sprite;
    }

    TestResources resources;
};

TEST_F(TextLayout, BlocksAndLinesAreAlignedWithTruncation)
{
    struct Case {
        const char* what;
        std::string text;
        Vector2<float> size;
        Vector2<float> pivot;
        ArtAlign valign, halign;
        std::vector<Vector2<float>> tops;  // top-left corner of each glyph
    };
    const Case cases[] = {
        {"top left", "AB", {100, 100}, {0, 0}, ArtAlign::begin, ArtAlign::begin, {{0, 0}, {10, 0}}},
        {"centring truncates", "AAAAA", {101, 30}, {0, 0}, ArtAlign::begin, ArtAlign::center,
         {{25, 0}, {35, 0}, {45, 0}, {55, 0}, {65, 0}}},
        {"right", "AB", {100, 30}, {0, 0}, ArtAlign::begin, ArtAlign::end, {{80, 0}, {90, 0}}},
        {"three lines centred", "A\nA\nA", {100, 100}, {0, 0}, ArtAlign::center, ArtAlign::begin,
         {{0, 20}, {0, 40}, {0, 60}}},
        {"three lines at the bottom", "A\nA\nA", {100, 100}, {0, 0}, ArtAlign::end, ArtAlign::begin,
         {{0, 40}, {0, 60}, {0, 80}}},
        {"pivot moves the origin", "A", {10, 20}, {5.5f, 2}, ArtAlign::begin, ArtAlign::begin, {{-5, -2}}},
        {"lines centred one by one", "AB A", {25, 40}, {0, 0}, ArtAlign::begin, ArtAlign::center,
         {{2, 0}, {12, 0}, {7, 20}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SharedPtr<TextSprite> sprite = text(c.text, c.size, c.valign, c.halign);
        sprite->set_pivot(c.pivot);
        const Sprite::Quads& quads = sprite->world_quads();
        ASSERT_EQ(quads.size(), c.tops.size());
        for (std::size_t i = 0; i < quads.size(); ++i) {
            EXPECT_FLOAT_EQ(quads[i].v[0].x, c.tops[i].x) << i;
            EXPECT_FLOAT_EQ(quads[i].v[0].y, c.tops[i].y) << i;
        }
    }
}

TEST_F(TextLayout, MarkersExpandThroughTheDictionaryAndTheData)
{
    StringBuffer xml("<dic><menu><play>AB</play></menu></dic>");
    Dictionary dictionary;
    dictionary.load_xml(xml);
    dictionary.publish_words();

    SharedPtr<TextSprite> sprite = text("{#menu.play} {&score}", {200, 20}, ArtAlign::begin, ArtAlign::begin);
    std::string score = "A";
    int queries = 0;
    sprite->set_data_provider([&](const std::string& key, std::string& value) {
        ++queries;
        value = key == "score" ? score : "?";
        return true;
    });
    EXPECT_EQ(sprite->display_text(), u"AB A");
    EXPECT_EQ(sprite->world_quads().size(), 4u);  // A, B, the space, A
    EXPECT_EQ(queries, 1);
    // Expanded once per change, not per frame.
    sprite->world_quads();
    sprite->invalidate();
    sprite->world_quads();
    EXPECT_EQ(queries, 1);

    score = "BAB";
    sprite->on_data_changed();
    EXPECT_EQ(sprite->world_quads().size(), 6u);
    EXPECT_EQ(sprite->display_text(), u"AB BAB");

    // Without a font nothing is laid out.
    SharedPtr<TextSprite> fontless(new TextSprite);
    fontless->set_text("AB");
    EXPECT_TRUE(fontless->world_quads().empty());
}

TEST_F(TextLayout, FormsAndTheTextProperty)
{
    SharedPtr<TextSprite> source = text("AB", {50, 20}, ArtAlign::end, ArtAlign::center);
    source->set_brilliance(0.5f);
    TextSprite copy;
    load_bytes(copy, own_bytes(*source));
    EXPECT_EQ(copy.text(), "AB");
    EXPECT_EQ(copy.valign(), ArtAlign::end);
    EXPECT_EQ(copy.halign(), ArtAlign::center);
    EXPECT_FLOAT_EQ(copy.brilliance(), 0.5f);
    ASSERT_NE(copy.font(), nullptr);

    const std::string bytes = own_bytes(*source);
    struct Damage {
        const char* what;
        std::string bytes;
        const char* error;
    };
    const Damage damages[] = {
        {"later version", u8(1) + bytes.substr(1), "unsupported version."},
        {"short", bytes.substr(0, bytes.size() - 3), "unexpected end of buffer."},
    };
    for (const Damage& d : damages) {
        TextSprite read;
        EXPECT_THAT(error_of([&] { load_bytes(read, d.bytes); }), testing::HasSubstr(d.error)) << d.what;
    }

    TestSkinEnvironment skin(R"(
        label "class kq::TextSprite" {
            state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(100, 20)] rotation 0
            scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
            tex_adress 0 inherit 96
            font "Letters.fnt" text "A B" valign bottom halign right brilliance 0.25
        }
        wrong : label { halign middle }
    )");
    TextSprite label;
    label.read_skin(SkinPath("label"));
    EXPECT_EQ(label.text(), "A B");
    EXPECT_EQ(label.valign(), ArtAlign::end);
    EXPECT_EQ(label.halign(), ArtAlign::end);
    EXPECT_FLOAT_EQ(label.brilliance(), 0.25f);
    EXPECT_EQ(label.world_quads().size(), 3u);
    TextSprite wrong;
    EXPECT_THAT(error_of([&] { wrong.read_skin(SkinPath("wrong")); }),
                testing::HasSubstr("enum string interpretation [middle] unregistered."));

    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> append = [&ids](std::int32_t id) { ids.push_back(id); };
    label.property(property_list, all_properties, &append);
    EXPECT_THAT(ids, testing::ElementsAre(5000, 1000, 1001, 1002, 1010, 1011, 1020, 1021, 1022, 1030));
    std::string value = "AAB";
    label.property(property_set, text_property_text, &value);
    EXPECT_EQ(label.world_quads().size(), 3u);
    std::string read;
    label.property(property_get, text_property_text, &read);
    EXPECT_EQ(read, "AAB");
    std::string name;
    label.property(property_label, text_property_text, &name);
    EXPECT_EQ(name, "Text");
}

TEST(ArtAlign, LastNameWinsWhenWritten)
{
    struct Case {
        const char* name;
        ArtAlign value;
    };
    const Case reads[] = {{"left", ArtAlign::begin}, {"top", ArtAlign::begin}, {"begin", ArtAlign::begin},
                          {"center", ArtAlign::center}, {"end", ArtAlign::end}, {"right", ArtAlign::end},
                          {"bottom", ArtAlign::end}};
    for (const Case& c : reads) {
        StringStream in(c.name);
        ArtAlign value = ArtAlign::center;
        in >> value;
        EXPECT_EQ(value, c.value) << c.name;
    }
    const Case writes[] = {{"top", ArtAlign::begin}, {"center", ArtAlign::center}, {"bottom", ArtAlign::end}};
    for (const Case& c : writes) {
        StringStream out("");
        out << c.value;
        EXPECT_EQ(out.str(), c.name);
    }
}

}
}
