#include <gtest/gtest.h>

#include "decode_file.h"
#include "image_files.h"

namespace kq {
namespace {

using test::PngSpec;
using test::Rgba;

TEST(PngImage, EveryKindBecomesRgba)
{
    const std::vector<png_color> red_green = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    struct Case {
        const char* name;
        PngSpec spec;
        Rgba expected;
        bool has_alpha;
    };
    const Case cases[] = {
        {"palette", {3, 1, PNG_COLOR_TYPE_PALETTE, 8, {2, 0, 1}, red_green}, {0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255}, false},
        {"palette 2-bit with transparency", {2, 1, PNG_COLOR_TYPE_PALETTE, 2, {0x10}, red_green, {128}},
         {255, 0, 0, 128, 0, 255, 0, 255}, true},
        {"grey 8", {2, 1, PNG_COLOR_TYPE_GRAY, 8, {7, 200}}, {7, 7, 7, 255, 200, 200, 200, 255}, false},
        {"grey 4", {2, 1, PNG_COLOR_TYPE_GRAY, 4, {0xF1}}, {255, 255, 255, 255, 17, 17, 17, 255}, false},
        {"grey+alpha 16", {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x12, 0x34, 0xAB, 0xCD}}, {0x12, 0x12, 0x12, 0xAB}, true},
        {"rgb 16", {1, 1, PNG_COLOR_TYPE_RGB, 16, {1, 2, 3, 4, 5, 6}}, {1, 3, 5, 255}, false},
        {"rgba 8", {1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {9, 8, 7, 6}}, {9, 8, 7, 6}, true},
        {"rgb 8 interlaced", {1, 2, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}, {}, {}, true}, {1, 2, 3, 255, 4, 5, 6, 255}, false},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = test::decode_file(test::png_file(c.spec));
        ASSERT_TRUE(decoded.ok) << c.name << ": " << decoded.error;
        EXPECT_EQ(decoded.image.width, c.spec.width) << c.name;
        EXPECT_EQ(decoded.image.height, c.spec.height) << c.name;
        EXPECT_EQ(decoded.image.pixels, c.expected) << c.name;
        EXPECT_EQ(decoded.image.has_alpha, c.has_alpha) << c.name;
    }
}

TEST(PngImage, DamagedFilesAreErrors)
{
    const std::string good = test::png_file({4, 4, PNG_COLOR_TYPE_RGB, 8, Rgba(48, 9)});
    std::string corrupt = good;
    corrupt[good.size() - 20] ^= 0x5A;
    std::string huge = good;  // 16384 x 16384 over a few bytes of image data
    for (int i : {16, 20}) {
        huge[i] = 0, huge[i + 1] = 0, huge[i + 2] = 0x40, huge[i + 3] = 0;
    }
    for (const std::string& file : {good.substr(0, good.size() - 30), corrupt, huge, good.substr(0, 20)}) {
        const test::Decoded decoded = test::decode_file(file);
        EXPECT_FALSE(decoded.ok);
        EXPECT_EQ(decoded.error.rfind("PNG", 0), 0u) << decoded.error;
    }
}

}
}
