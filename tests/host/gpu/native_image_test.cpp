#include "engine/host/gpu/native_image.h"

#include <gtest/gtest.h>

#include "image_files.h"

namespace kq {
namespace {

using host::NativeImage;
using host::PixelFormat;
using Bytes = std::vector<std::uint8_t>;

bool decode(const std::string& file, NativeImage& image, std::string& error)
{
    return host::decode_native_image({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}, image, error);
}

// Each file keeps its own pixel layout, turned to top row first: nothing is converted but
// palettes (to their entries) and PNG's grey, depths and transparent colour.
TEST(NativeImage, KeepsTheFilesOwnLayout)
{
    struct Case {
        const char* name;
        std::string file;
        PixelFormat format;
        Bytes bytes;  // 2 x 1 pixels, or 2 x 2 where the file has 2 rows
        bool has_alpha;
        bool from_palette;
        bool alpha_from_key;
    };
    test::DdsSpec luminance{2, 1, 0, 0x1007, 0x20000, "\0\0\0\0", 8, {0xFF, 0, 0, 0}};
    test::DdsSpec rgb565{2, 1, 0, 0x1007, 0x40, "\0\0\0\0", 16, {0xF800, 0x7E0, 0x1F, 0}};
    const Case cases[] = {
        {"tga 16-bit with an alpha bit", test::tga_header({2, 2, 1, 16, 0x01}) + "\1\2\3\4", PixelFormat::argb1555, {1, 2, 3, 4},
         true, false, false},
        {"tga 32-bit without alpha bits, two rows bottom-up", test::tga_header({2, 1, 2, 32, 0}) + "\1\2\3\4\5\6\7\10",
         PixelFormat::bgra32, {5, 6, 7, 8, 1, 2, 3, 4}, false, false, false},
        {"tga grey with alpha", test::tga_header({3, 2, 1, 16, 0x28}) + "\1\2\3\4", PixelFormat::gray_alpha16,
         {1, 2, 3, 4}, true, false, false},
        {"tga colour-mapped", test::tga_header({1, 2, 1, 8, 0x20, 1, 2, 24}) + "abcdef" + std::string("\1\0", 2),
         PixelFormat::bgr24, {'d', 'e', 'f', 'a', 'b', 'c'}, false, true, false},
        {"png palette", test::png_file({2, 1, PNG_COLOR_TYPE_PALETTE, 8, {1, 0}, {{1, 2, 3}, {4, 5, 6}}}),
         PixelFormat::rgb24, {4, 5, 6, 1, 2, 3}, false, true, false},
        {"png grey 16", test::png_file({2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x12, 0x34, 0xAB, 0xCD}}), PixelFormat::rgb24,
         {0x12, 0x12, 0x12, 0xAB, 0xAB, 0xAB}, false, false, false},
        {"png colour with a transparent colour",
         test::png_file({2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}, {}, {}, false, {4, 5, 6}}),
         PixelFormat::rgba32, {1, 2, 3, 255, 4, 5, 6, 0}, true, false, true},
        {"dds 565", test::dds_header(rgb565) + "\1\2\3\4", PixelFormat::rgb565, {1, 2, 3, 4}, false, false, false},
        {"dds luminance", test::dds_header(luminance) + "\7\10", PixelFormat::masked, {7, 8}, false, false, false},
    };
    for (const Case& c : cases) {
        NativeImage image;
        std::string error;
        ASSERT_TRUE(decode(c.file, image, error)) << c.name << ": " << error;
        EXPECT_EQ(image.format, c.format) << c.name;
        EXPECT_EQ(image.bytes, c.bytes) << c.name;
        EXPECT_EQ(image.has_alpha, c.has_alpha) << c.name;
        EXPECT_EQ(image.from_palette, c.from_palette) << c.name;
        EXPECT_EQ(image.alpha_from_key, c.alpha_from_key) << c.name;
        EXPECT_TRUE(image.levels.empty()) << c.name;
    }
}

TEST(NativeImage, CmykKeepsItsInksInverted)
{
    // Written with an Adobe marker, as image editors do: 255 is no ink.
    const Bytes half_black{255, 255, 255, 128};
    Bytes samples;
    for (int i = 0; i < 64; ++i)
        samples.insert(samples.end(), half_black.begin(), half_black.end());
    NativeImage image;
    std::string error;
    ASSERT_TRUE(decode(test::jpeg_file(8, 8, JCS_CMYK, samples), image, error)) << error;
    EXPECT_EQ(image.format, PixelFormat::cmyk32);
    ASSERT_EQ(image.bytes.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        EXPECT_NEAR(image.bytes[i], samples[i], 3) << i;
}

// A DXT1 image of 8 x 8 announcing 4 levels (8, 4, 2, 1 pixels a side): the further levels
// are kept as far as the file holds them whole, after the main image.
TEST(NativeImage, DdsLevelsAsFarAsTheFileHoldsThem)
{
    const std::string header = test::dds_header({8, 8, 4, 0x1007 | 0x20000});
    struct Case {
        std::size_t data;
        std::size_t levels;
    };
    const Case cases[] = {{32 + 8 + 8 + 8, 3}, {32 + 8 + 8 + 7, 2}, {32, 0}};
    for (const Case& c : cases) {
        std::string data(c.data, '\0');
        for (std::size_t i = 0; i < c.data; ++i)
            data[i] = static_cast<char>(i);
        NativeImage image;
        std::string error;
        ASSERT_TRUE(decode(header + data, image, error)) << c.data << ": " << error;
        EXPECT_EQ(image.format, PixelFormat::dxt1);
        ASSERT_EQ(image.levels.size(), c.levels) << c.data;
        for (std::size_t i = 0; i < c.levels; ++i) {
            const host::ImageLevel& level = image.levels[i];
            EXPECT_EQ(level.offset, 32 + 8 * i) << i;
            EXPECT_EQ(level.size, 8u) << i;
            EXPECT_EQ(level.width, 4 >> i) << i;
            EXPECT_EQ(level.height, 4 >> i) << i;
        }
        EXPECT_EQ(image.bytes, Bytes(data.begin(), data.begin() + 32 + 8 * c.levels)) << c.data;
    }
}

}
}
