#include <gtest/gtest.h>

#include "decode_bytes.h"
#include "engine/platform/bitmap.h"
#include "tests/host/gpu/image_files.h"

namespace kq {
namespace {

using test::decode_bytes;
using test::jpeg_file;
using Bytes = std::vector<std::uint8_t>;

// Colours survive top-quality JPEG within a few steps on flat areas.
void expect_near(const Bytes& actual, const Bytes& expected, const char* name)
{
    ASSERT_EQ(actual.size(), expected.size()) << name;
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 3) << name << " byte " << i;
}

TEST(JpegDecoder, GreyAndColour)
{
    Bitmap grey;
    ASSERT_TRUE(decode_bytes(grey, "jpg", jpeg_file(8, 8, JCS_GRAYSCALE, Bytes(64, 100))));
    EXPECT_EQ(grey.format(), Gray8);
    EXPECT_EQ(grey.bpp(), 1);
    EXPECT_EQ(grey.size_bytes(), 64u);
    expect_near(test::pixels(grey), Bytes(64, 100), "grey");

    Bytes orange;
    for (int i = 0; i < 16 * 8; ++i)
        orange.insert(orange.end(), {250, 128, 20});
    Bitmap colour;
    ASSERT_TRUE(decode_bytes(colour, "jpg", jpeg_file(16, 8, JCS_RGB, orange)));
    EXPECT_EQ(colour.format(), RGB24);
    EXPECT_EQ(colour.width(), 16);
    EXPECT_EQ(colour.height(), 8);
    expect_near(test::pixels(colour), orange, "colour");
}

TEST(JpegDecoder, TruncatedDataIsPaddedWithAnEndMarker)
{
    Bytes noise(64 * 64);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 7919 % 256);
    const std::string file = jpeg_file(64, 64, JCS_GRAYSCALE, noise);
    Bitmap bitmap;
    EXPECT_TRUE(decode_bytes(bitmap, "jpg", file.substr(0, file.size() - 500)));
    EXPECT_EQ(bitmap.width(), 64);
    EXPECT_EQ(bitmap.height(), 64);
}

TEST(JpegDecoder, RefusesCmykAndDamagedFiles)
{
    const std::string grey = jpeg_file(8, 8, JCS_GRAYSCALE, Bytes(64, 100));
    std::string huge = grey;
    const std::size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = '\x7F';  // height 32512 and more
    struct Case {
        const char* name;
        std::string file;
    };
    const Case cases[] = {
        {"cmyk", jpeg_file(8, 8, JCS_CMYK, Bytes(256, 30))},
        {"empty", ""},
        {"header cut short", grey.substr(0, 40)},
        {"not a jpeg", "\x89PNG and more bytes"},
        {"huge", huge},
    };
    for (const Case& c : cases) {
        Bitmap bitmap;
        EXPECT_FALSE(decode_bytes(bitmap, "jpg", c.file)) << c.name;
    }
}

}
}
