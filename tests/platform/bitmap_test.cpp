#include "engine/platform/bitmap.h"

#include <gtest/gtest.h>

#include "decode_bytes.h"
#include "tests/base/log_capture.h"

namespace kq {
namespace {

using test::pixels;

TEST(Bitmap, SizesOfEveryFormat)
{
    struct Case {
        std::int32_t format;
        std::int32_t bpp;
        std::uint64_t size_5x3;
    };
    const Case cases[] = {
        {Gray8, 1, 15},     {BGR24, 3, 45},    {RGB24, 3, 45},    {BGRA32, 4, 60},     {RGBA32, 4, 60},
        {DXT1a, 0, 2 * 8},  {DXT1, 0, 2 * 8},  {DXT3, 0, 2 * 16}, {DXT5, 0, 2 * 16},   {RGB565, 2, 30},
        {ARGB4444, 2, 30},  {ARGB1555, 2, 30},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Bitmap::bytes_per_pixel(c.format), c.bpp) << c.format;
        EXPECT_EQ(Bitmap::data_size(c.format, 5, 3), c.size_5x3) << c.format;
    }
    // One pixel still takes a whole block; 65535 x 65535 x 4 does not wrap in 32 bits.
    EXPECT_EQ(Bitmap::data_size(DXT5, 1, 1), 16u);
    EXPECT_EQ(Bitmap::data_size(BGRA32, 65535, 65535), 65535ull * 65535ull * 4);
}

TEST(Bitmap, UnknownFormatIsLoggedNotThrown)
{
    for (std::int32_t format : {0, 13, -1}) {
        test::LogCapture log;
        EXPECT_EQ(Bitmap::bytes_per_pixel(format), 0);
        EXPECT_EQ(Bitmap::data_size(format, 4, 4), 0u);
        EXPECT_NE(log.text("error").find("\nUnknown format\n"), std::string::npos) << format;
    }
}

TEST(Bitmap, CreatePointsEveryLevelIntoOneBuffer)
{
    Bitmap bitmap;
    const std::vector<BitmapLevel> levels = {{nullptr, 48, 12, 2, 2}, {nullptr, 60, 3, 1, 1}};
    EXPECT_TRUE(bitmap.create(BGR24, 4, 4, levels));
    EXPECT_EQ(bitmap.size_bytes(), 48u);
    EXPECT_EQ(bitmap.total_size(), 63u);
    EXPECT_EQ(bitmap.bpp(), 3);
    ASSERT_EQ(bitmap.levels().size(), 2u);
    EXPECT_EQ(bitmap.levels()[0].data, bitmap.data() + 48);
    EXPECT_EQ(bitmap.levels()[1].data, bitmap.data() + 60);

    // A second allocation keeps the levels and points them into the new buffer.
    bitmap.allocate(RGBA32, 3, 4);
    EXPECT_EQ(bitmap.size_bytes(), 48u);
    EXPECT_EQ(bitmap.levels()[1].data, bitmap.data() + 60);
}

TEST(Bitmap, FlipMovesRowsAndColumns)
{
    // A 3 x 2 grey image, pixels numbered row by row.
    struct Case {
        std::uint32_t flags;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {0, {1, 2, 3, 4, 5, 6}},
        {1, {4, 5, 6, 1, 2, 3}},
        {2, {3, 2, 1, 6, 5, 4}},
        {3, {6, 5, 4, 3, 2, 1}},
    };
    for (const Case& c : cases) {
        Bitmap bitmap;
        bitmap.allocate(Gray8, 3, 2);
        for (int i = 0; i < 6; ++i)
            bitmap.data()[i] = static_cast<std::uint8_t>(i + 1);
        bitmap.flip(c.flags);
        EXPECT_EQ(pixels(bitmap), c.expected) << c.flags;
    }

    // Whole pixels move, their bytes keep their order.
    Bitmap wide;
    wide.allocate(RGB565, 2, 1);
    const std::uint8_t words[] = {1, 2, 3, 4};
    std::copy(words, words + 4, wide.data());
    wide.flip(2);
    EXPECT_EQ(pixels(wide), (std::vector<std::uint8_t>{3, 4, 1, 2}));
}

TEST(Bitmap, BlockCompressedImagesAreNotFlipped)
{
    Bitmap bitmap;
    bitmap.allocate(DXT1, 4, 8);
    for (std::uint32_t i = 0; i < bitmap.size_bytes(); ++i)
        bitmap.data()[i] = static_cast<std::uint8_t>(i);
    const std::vector<std::uint8_t> before = pixels(bitmap);
    test::LogCapture log;
    bitmap.flip(1);
    EXPECT_EQ(pixels(bitmap), before);
    EXPECT_NE(log.text("error").find("\n\xcd\xe5\xe2\xee\xe7\xec\xee\xe6\xed\xee \xef\xe5\xf0\xe5\xe2\xe5\xf0\xed\xf3\xf2\xfc "
                                     "\xe8\xe7\xee\xe1\xf0\xe0\xe6\xe5\xed\xe8\xe5\n"),
              std::string::npos);
}

TEST(Bitmap, DecodeChoosesByWholeLowerCaseExtension)
{
    // A valid 1 x 1 grey TGA: only "tga" reads it, the others refuse it or fail on it.
    const std::string tga = std::string("\0\0\3\0\0\0\0\0\0\0\0\0\1\0\1\0\x08\x20", 18) + "\x7f";
    struct Case {
        const char* extension;
        bool decoded;
        bool read;
    };
    const Case cases[] = {
        {"tga", true, true}, {"TGA", false, false}, {"jpeg", false, false}, {"bmp", false, false},
        {"", false, false},  {"tgax", false, false}, {"png", false, true},  {"jpg", false, true},
    };
    for (const Case& c : cases) {
        StringBuffer buffer(tga);
        Stream stream(buffer);
        Bitmap bitmap;
        EXPECT_EQ(bitmap.decode(c.extension, stream), c.decoded) << c.extension;
        EXPECT_EQ(stream.tell() > 0, c.read) << c.extension;
    }
}

}
}
