#include "engine/platform/font.h"

#include <cmath>

#include <gtest/gtest.h>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/tstream.h"
#include "engine/res/res.h"
#include "recording_artist.h"

namespace kq {
namespace {

// Parses a description; the font is returned with whether parse accepted it.
bool parse(Font& font, const std::string& text)
{
    StringBuffer buffer(text);
    TStream stream(buffer);
    return font.parse(stream);
}

const char* const hge_font =
    "[HGEFONT]\r\n"
    "Bitmap=\"Fonts/Main.png\"\r\n"
    "Char=\"a\",1,2,10,20,1,2\r\n"
    "Char=\"A\",0,0,4,20,0,0\r\n"
    "Char=41,30,40,12,18,-1,3\r\n"
    "Char=\" \",0,0,0,0,0,5\r\n";

// The keys of the other layout, in their order.
std::string bmfont(const std::string& chars)
{
    return "info face=\"Arial\" size=32 bold=0 italic=0 charset=\"\" unicode=1 stretchH=100 smooth=1 aa=1 "
           "padding=0,0,0,0 spacing=1,1 outline=0\n"
           "common lineHeight=32 base=26 scaleW=256 scaleH=256 pages=1 packed=0 alphaChnl=1 redChnl=0 "
           "greenChnl=0 blueChnl=0\n"
           "page id=0 file=\"glyphs.png\"\n"
           "chars count=2\n" +
           chars + "kernings count=0\n";
}

const std::string two_chars =
    "char id=97 x=1 y=2 width=10 height=20 xoffset=-1 yoffset=3 xadvance=11 page=0 chnl=15\n"
    "char id=98 x=20 y=2 width=9 height=21 xoffset=0 yoffset=2 xadvance=9 page=0 chnl=15\n";

TEST(Font, HgeGlyphs)
{
    Font font;
    ASSERT_TRUE(parse(font, hge_font));
    EXPECT_EQ(font.texture().path(), "fonts/main.png");
    EXPECT_EQ(font.height(), 20);  // no padding: the tallest glyph
    EXPECT_EQ(font.spacing(), 0);
    ASSERT_EQ(font.glyphs().size(), 3u);
    // "A" and 41 name the same character: the later line wins.
    const FontGlyph& a = font.glyphs().at(u'A');
    EXPECT_EQ(a.x, 30);
    EXPECT_EQ(a.y, 40);
    EXPECT_EQ(a.width, 12);
    EXPECT_EQ(a.height, 18);
    EXPECT_EQ(a.x_offset, -1);
    EXPECT_EQ(a.y_offset, 0);
    EXPECT_EQ(a.advance, -1 + 12 + 3);
    EXPECT_EQ(font.glyphs().at(u'a').advance, 13);
    EXPECT_EQ(font.glyphs().at(u' ').advance, 5);
}

TEST(Font, HgePaddingAndLocale)
{
    Font font;
    ASSERT_TRUE(parse(font, "HGEFONT Locale .1251 Bitmap=f.png\nChar=C0,0,0,8,20,2,1\nChar=\"b\",0,0,6,20,0,0\n"
                            "Padding=3,2,1,1\n"));
    EXPECT_EQ(font.height(), 15);
    // 0xC0 is the capital A of the Cyrillic code page.
    ASSERT_TRUE(font.has_glyph(u'\u0410'));
    EXPECT_FALSE(font.has_glyph(u'\u00C0'));
    const FontGlyph& glyph = font.glyphs().at(u'\u0410');
    EXPECT_EQ(glyph.y_offset, -3);
    EXPECT_EQ(glyph.x_offset, 2 - 1);
    EXPECT_EQ(glyph.advance, 2 + 8 + 1 - 1 - 1);
    EXPECT_EQ(font.glyphs().at(u'b').y_offset, -3);

    // Padding larger than every glyph leaves a height of 0, not below.
    Font thin;
    ASSERT_TRUE(parse(thin, "HGEFONT Bitmap=f.png Char=\"x\",0,0,1,4,0,0 Padding=3,2,0,0"));
    EXPECT_EQ(thin.height(), 0);
}

TEST(Font, BmfontGlyphsAndWidth)
{
    Font font;
    ASSERT_TRUE(parse(font, bmfont(two_chars)));
    EXPECT_EQ(font.texture().path(), "glyphs.png");
    EXPECT_EQ(font.spacing(), 1);
    EXPECT_EQ(font.height(), 33);
    const FontGlyph& a = font.glyphs().at(u'a');
    EXPECT_EQ(a.x, 1);
    EXPECT_EQ(a.y, 2);
    EXPECT_EQ(a.width, 10);
    EXPECT_EQ(a.height, 20);
    EXPECT_EQ(a.x_offset, -1);
    EXPECT_EQ(a.y_offset, 3);
    EXPECT_EQ(a.advance, 11);
    EXPECT_EQ(font.glyphs().size(), 2u);

    struct Case {
        std::u16string text;
        std::int32_t width;
    };
    const Case cases[] = {{u"", 0}, {u"ab", 11 + 9 + 2}, {u"a\nb", 11 + 9 + 2}, {u"zz", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(font.text_width(c.text.data(), c.text.data() + c.text.size()), c.width);

    // An id beyond 16 bits keeps its low 16 bits (65633 is 0x10061): a repeated "a" wins.
    Font repeated;
    ASSERT_TRUE(parse(repeated, bmfont(two_chars + "char id=65633 x=0 y=0 width=1 height=1 xoffset=0 yoffset=0 "
                                                   "xadvance=4 page=0 chnl=15\n")));
    EXPECT_EQ(repeated.glyphs().size(), 2u);
    EXPECT_EQ(repeated.glyphs().at(u'a').advance, 4);
}

TEST(Font, WhatIsNotAFont)
{
    for (const char* text : {"", "   ", "[FONT] Bitmap=a.png", "char id=1"}) {
        Font font;
        EXPECT_FALSE(parse(font, text)) << text;
    }
}

TEST(Font, SyntaxErrorsAreStreamErrorsWithTheirPlace)
{
    struct Case {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"HGEFONT Bitmap f.png", "unexpected symbol 'f.png', must be '='."},
        {"HGEFONT\nBitmap=f.png\nChar=\"a\",1,2,x,4,5,6\n", "invalid number 'x'."},
        {"HGEFONT\nBitmap=f.png\nChar=\"a\",1,2,3,4,5;6\n", "must be ','"},
        {"HGEFONT\nBitmap=f.png\nChar=zz,1,2,3,4,5,6\n", "invalid number 'zz'."},
        {"HGEFONT\nBitmap=f.png\nChar=\"a\",1,2,3,4,5,6\nPadding=1,2,3\n", "unexcepted end of file reached."},
        {bmfont("char id=97 x=1 y=2 width=10 height=20 xoffset=-1 yoffset=3 advance=11 page=0 chnl=15\n"),
         "unexpected symbol 'advance', must be 'xadvance'."},
        {bmfont("char id=97 x=1 y=2 width=ten height=20 xoffset=-1 yoffset=3 xadvance=11 page=0 chnl=15\n"),
         "invalid number 'ten'."},
        {"info face=\"x\"", "unexcepted end of file reached."},
        {"HGEFONT\nBitmap=f.png\nChar=\"a\",1,2,3,4,5,2000000000\n", "number out of range '2000000000'."},
    };
    for (const Case& c : cases) {
        Font font;
        try {
            parse(font, c.text);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const IOException& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
    // The place is the line of the bad number.
    Font font;
    try {
        parse(font, "HGEFONT\nBitmap=f.png\nChar=\"a\",1,2,x,4,5,6\n");
    } catch (const IOException& error) {
        EXPECT_NE(std::string(error.what()).find("at line 3"), std::string::npos) << error.what();
    }
}

TEST(Font, BuildQuadsLaysOutFromThePen)
{
    Font font;
    ASSERT_TRUE(parse(font, bmfont(two_chars)));
    const std::u16string text = u"a\nb";
    std::vector<Quad> quads(1);  // the caller's earlier quads are kept
    const Color colour{0.25f, 0.5f, 0.75f, 0.5f};
    const Vector2<int> pen = font.build_quads(quads, {10, 20}, text.data(), text.data() + text.size(), colour, 0.0f);
    EXPECT_EQ(pen, (Vector2<int>{10 + 11 + 1 + 9 + 1, 20}));
    ASSERT_EQ(quads.size(), 3u);
    // "a": pen (10, 20) plus offsets (-1, 3), 10 x 20 pixels; "b" from pen x 22 with offset (0, 2).
    const float expected[2][4][2] = {{{9, 23}, {19, 23}, {19, 43}, {9, 43}}, {{22, 22}, {31, 22}, {31, 43}, {22, 43}}};
    for (int q = 0; q < 2; ++q) {
        for (int i = 0; i < 4; ++i) {
            const QuadVertex& v = quads[q + 1].v[i];
            EXPECT_EQ(v.x, expected[q][i][0]) << q << " " << i;
            EXPECT_EQ(v.y, expected[q][i][1]) << q << " " << i;
            EXPECT_EQ(Color({v.r, v.g, v.b, v.a}), colour);
        }
    }
}

TEST(Font, ResolveFillsTextureCoordinates)
{
    Font font;
    ASSERT_TRUE(parse(font, bmfont(two_chars)));
    ASSERT_EQ(Res::instance(), nullptr);
    font.resolve();  // no texture: nothing filled, measuring still works
    EXPECT_EQ(font.glyphs().at(u'a').du, 0.0f);
    EXPECT_EQ(font.text_width(u"a", u"a" + 1), 12);

    SharedPtr<Res> res(new Res);
    // A 64 x 32 device texture holding a smaller image: coordinates follow the texture.
    res->add_resource({type_name<Texture>(), {"glyphs.png", 0}},
                      SharedPtr<Resource>(new test::PlainTexture(1, 64, 32, 50, 30)));
    font.resolve();
    const FontGlyph& a = font.glyphs().at(u'a');
    EXPECT_FLOAT_EQ(a.u, 1.0f / 64);
    EXPECT_FLOAT_EQ(a.v, 2.0f / 32);
    EXPECT_FLOAT_EQ(a.du, 10.0f / 64);
    EXPECT_FLOAT_EQ(a.dv, 20.0f / 32);

    std::vector<Quad> quads;
    const std::u16string text = u"a";
    font.build_quads(quads, {0, 0}, text.data(), text.data() + 1, Color{1, 1, 1, 1}, 0.0f);
    ASSERT_EQ(quads.size(), 1u);
    const float uv[4][2] = {{a.u, a.v}, {a.u + a.du, a.v}, {a.u + a.du, a.v + a.dv}, {a.u, a.v + a.dv}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quads[0].v[i].tu, uv[i][0]);
        EXPECT_EQ(quads[0].v[i].tv, uv[i][1]);
    }
}

TEST(Font, Brilliance)
{
    const Color base{0.5f, 0.25f, 0.75f, 0.4f};
    // Below the float epsilon the base colour comes back exactly.
    for (float brilliance : {0.0f, 1e-8f, -1e-8f})
        EXPECT_EQ(brilliance_colour(base, brilliance, 12.0f, 34.0f), base);

    const float k = 1.0f / 1.1f;
    auto wave = [k](float brilliance, float x, float y, float dx, float dy) {
        const float c = std::cos(k * (y - dy));
        return brilliance * c * c * std::sin(k * (x + dx));
    };
    struct Case {
        float brilliance, x, y;
    };
    for (const Case& c : {Case{1.0f, 0.0f, 0.0f}, Case{0.3f, 7.0f, -5.0f}, Case{-2.0f, 100.0f, 3.0f}}) {
        const Color shade = brilliance_colour(base, c.brilliance, c.x, c.y);
        EXPECT_NEAR(shade.r, std::clamp(base.r + wave(c.brilliance, c.x, c.y, 0, 0), 0.0f, 1.0f), 1e-5f);
        EXPECT_NEAR(shade.g, std::clamp(base.g + wave(c.brilliance, c.x, c.y, 57, 41), 0.0f, 1.0f), 1e-5f);
        EXPECT_NEAR(shade.b, std::clamp(base.b + wave(c.brilliance, c.x, c.y, 132, 143), 0.0f, 1.0f), 1e-5f);
        EXPECT_EQ(shade.a, base.a);
    }
    // At (0, 0) the red wave is sin 0: red keeps the base red.
    EXPECT_EQ(brilliance_colour(base, 1.0f, 0.0f, 0.0f).r, base.r);
}

}
}
