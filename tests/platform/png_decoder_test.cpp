#include <gtest/gtest.h>

#include "decode_bytes.h"
#include "engine/platform/bitmap.h"
#include "tests/host/gpu/image_files.h"

namespace kq {
namespace {

using test::decode_bytes;
using test::png_file;
using test::PngSpec;
using Bytes = std::vector<std::uint8_t>;

TEST(PngDecoder, ColourAndGreyBecomeRgbOrRgba)
{
    struct Case {
        const char* name;
        PngSpec spec;
        std::int32_t format;
        Bytes expected;
    };
    const Case cases[] = {
        {"rgb 8", {2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}}, RGB24, {1, 2, 3, 4, 5, 6}},
        {"rgba 8", {1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4}}, RGBA32, {1, 2, 3, 4}},
        {"grey 8", {2, 1, PNG_COLOR_TYPE_GRAY, 8, {7, 200}}, RGB24, {7, 7, 7, 200, 200, 200}},
        {"grey 1", {3, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0}}, RGB24, {255, 255, 255, 0, 0, 0, 255, 255, 255}},
        // 16-bit samples keep their high byte.
        {"grey+alpha 16", {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x12, 0x34, 0xAB, 0xCD}}, RGBA32,
         {0x12, 0x12, 0x12, 0xAB}},
        {"rgb 16", {1, 1, PNG_COLOR_TYPE_RGB, 16, {1, 2, 3, 4, 5, 6}}, RGB24, {1, 3, 5}},
        {"rgb 8 interlaced", {2, 2, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {}, {}, true},
         RGB24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
    };
    for (const Case& c : cases) {
        Bitmap bitmap;
        ASSERT_TRUE(decode_bytes(bitmap, "png", png_file(c.spec))) << c.name;
        EXPECT_EQ(bitmap.format(), c.format) << c.name;
        EXPECT_EQ(bitmap.width(), c.spec.width) << c.name;
        EXPECT_EQ(bitmap.height(), c.spec.height) << c.name;
        EXPECT_EQ(test::pixels(bitmap), c.expected) << c.name;
    }
}

TEST(PngDecoder, TransparentColourIsIgnored)
{
    for (int colour_type : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_GRAY}) {
        const bool grey = colour_type == PNG_COLOR_TYPE_GRAY;
        const PngSpec spec{2, 1, colour_type, 8, grey ? Bytes{7, 9} : Bytes{1, 2, 3, 4, 5, 6}, {}, {}, false,
                           grey ? std::vector<std::uint16_t>{9} : std::vector<std::uint16_t>{4, 5, 6}};
        Bitmap bitmap;
        ASSERT_TRUE(decode_bytes(bitmap, "png", png_file(spec))) << colour_type;
        EXPECT_EQ(bitmap.format(), RGB24) << colour_type;
        EXPECT_EQ(test::pixels(bitmap), grey ? Bytes({7, 7, 7, 9, 9, 9}) : Bytes({1, 2, 3, 4, 5, 6})) << colour_type;
    }
}

TEST(PngDecoder, RefusesPalettesAndDamagedFiles)
{
    const std::string palette = png_file({2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, {{255, 0, 0}, {0, 255, 0}}});
    const std::string good = png_file({4, 4, PNG_COLOR_TYPE_RGB, 8, Bytes(48, 9)});
    std::string corrupt = good;
    corrupt[good.size() - 20] ^= 0x5A;  // inside the image data: the checksum fails
    // A header claiming 16384 x 16384 pixels over a few bytes of image data.
    std::string huge = good;
    for (int i : {16, 20}) {
        huge[i] = 0;
        huge[i + 1] = 0;
        huge[i + 2] = 0x40;
        huge[i + 3] = 0;
    }
    struct Case {
        const char* name;
        std::string file;
    };
    const Case cases[] = {
        {"palette", palette},
        {"empty", ""},
        {"signature only", good.substr(0, 8)},
        {"truncated", good.substr(0, good.size() - 30)},
        {"corrupt", corrupt},
        {"huge", huge},
        {"not a png", "GIF89a and more bytes"},
    };
    for (const Case& c : cases) {
        Bitmap bitmap;
        EXPECT_FALSE(decode_bytes(bitmap, "png", c.file)) << c.name;
    }
}

}
}
