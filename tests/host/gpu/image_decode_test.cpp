#include "engine/host/gpu/image_decode.h"

#include <gtest/gtest.h>

#include "decode_file.h"
#include "image_files.h"

namespace kq {
namespace {

using test::decode_file;

// One red pixel in every format the decoder knows, told apart by content alone.
TEST(ImageDecode, ChoosesTheReaderByContent)
{
    test::ByteWriter bmp;
    bmp.text("BM").u32(58).u32(0).u32(54).u32(40).u32(1).u32(1).u16(1).u16(24).u32(0).u32(4).fill(16, 0);
    bmp.bytes({0, 0, 255, 0});
    test::DdsSpec dds{1, 1, 0, 0x1007, 0x40, "\0\0\0\0", 24, {0xFF0000, 0xFF00, 0xFF, 0}};
    struct Case {
        const char* kind;
        std::string file;
    };
    const Case cases[] = {
        {"png", test::png_file({1, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0}})},
        {"jpeg", test::jpeg_file(1, 1, JCS_RGB, {255, 0, 0})},
        {"dds", test::dds_header(dds) + std::string("\0\0\xFF", 3)},
        {"bmp", bmp.str()},
        {"tga", test::tga_header({2, 1, 1, 24, 0}) + std::string("\0\0\xFF", 3)},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = decode_file(c.file);
        ASSERT_TRUE(decoded.ok) << c.kind << ": " << decoded.error;
        EXPECT_EQ(decoded.image.width, 1);
        EXPECT_EQ(decoded.image.height, 1);
        ASSERT_EQ(decoded.image.pixels.size(), 4u);
        EXPECT_NEAR(decoded.image.pixels[0], 255, 2) << c.kind;
        EXPECT_NEAR(decoded.image.pixels[1], 0, 2) << c.kind;
        EXPECT_NEAR(decoded.image.pixels[2], 0, 2) << c.kind;
        EXPECT_EQ(decoded.image.pixels[3], 255) << c.kind;
        EXPECT_FALSE(decoded.image.has_alpha) << c.kind;
    }
}

// Each stored layout widened to RGBA in its own buffer; 5 pixels so that work done a few
// pixels at a time meets a remainder.
TEST(ImageDecode, ConvertsEveryLayoutToRgba)
{
    using host::PixelFormat;
    struct Case {
        const char* name;
        PixelFormat format;
        bool has_alpha;
        std::vector<std::uint8_t> bytes;
        test::Rgba expected;
        host::PixelMasks masks = {};
    };
    const Case cases[] = {
        {"rgb24", PixelFormat::rgb24, false, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
         {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255, 13, 14, 15, 255}},
        {"bgra32 without alpha", PixelFormat::bgra32, false, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20},
         {3, 2, 1, 255, 7, 6, 5, 255, 11, 10, 9, 255, 15, 14, 13, 255, 19, 18, 17, 255}},
        {"gray8", PixelFormat::gray8, false, {1, 2, 3, 4, 5},
         {1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255, 4, 4, 4, 255, 5, 5, 5, 255}},
        {"cmyk32", PixelFormat::cmyk32, false, {255, 0, 0, 255, 255, 255, 255, 128, 0, 0, 0, 0, 255, 255, 255, 255, 0, 255, 0, 255},
         {255, 0, 0, 255, 128, 128, 128, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0, 255, 0, 255}},
        {"argb1555 with alpha", PixelFormat::argb1555, true, {0x00, 0x7C, 0xE0, 0x83, 0x1F, 0x00, 0xFF, 0xFF, 0, 0},
         {255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 255, 0, 255, 255, 255, 255, 0, 0, 0, 0}},
        {"masked alpha alone", PixelFormat::masked, true, {0, 64, 128, 192, 255},
         {0, 0, 0, 0, 0, 0, 0, 64, 0, 0, 0, 128, 0, 0, 0, 192, 0, 0, 0, 255}, {8, 0, 0, 0, 0xFF}},
    };
    for (const Case& c : cases) {
        host::NativeImage native;
        native.format = c.format;
        native.masks = c.masks;
        native.width = 5;
        native.height = 1;
        native.has_alpha = c.has_alpha;
        native.bytes = c.bytes;
        host::RgbaImage image;
        host::convert_to_rgba(std::move(native), image);
        EXPECT_EQ(image.width, 5) << c.name;
        EXPECT_EQ(image.pixels, c.expected) << c.name;
        EXPECT_EQ(image.has_alpha, c.has_alpha) << c.name;
    }
}

TEST(ImageDecode, RefusesWhatItCannotRead)
{
    struct Case {
        const char* name;
        std::string file;
        const char* error;
    };
    const Case cases[] = {
        {"empty", "", "not an image file of a known kind"},
        {"text", "just some words, long enough for a header", "not an image file of a known kind"},
        {"gif", "GIF89a\1\0\1\0\0\0\0\0\0\0\0\0\0\0\0\0\0", "not an image file of a known kind"},
        {"png signature only", "\x89PNG\r\n\x1a\n", "PNG: "},
        {"jpeg start only", "\xFF\xD8\xFF", "JPEG: "},
        {"dds magic only", "DDS ", "DDS: file ends inside its header"},
        {"bmp magic only", "BM", "BMP: file ends inside its header"},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = decode_file(c.file);
        EXPECT_FALSE(decoded.ok) << c.name;
        EXPECT_EQ(decoded.error.rfind(c.error, 0), 0u) << c.name << ": " << decoded.error;
    }
}

TEST(ImageDecode, AbsurdSizesAreRefusedBeforeAllocating)
{
    test::DdsSpec dds{host::max_image_side + 1, 1, 0, 0x1007, 0x40, "\0\0\0\0", 32, {0xFF0000, 0xFF00, 0xFF, 0}};
    test::DdsSpec square{8192, 8193, 0, 0x1007, 0x40, "\0\0\0\0", 32, {0xFF0000, 0xFF00, 0xFF, 0}};
    test::DdsSpec empty{0, 4, 0, 0x1007, 0x40, "\0\0\0\0", 32, {0xFF0000, 0xFF00, 0xFF, 0}};
    struct Case {
        const char* name;
        std::string file;
        const char* error;
    };
    const Case cases[] = {
        {"wide", test::dds_header(dds), "image size 16385x1 is too large"},
        {"many pixels", test::dds_header(square), "image size 8192x8193 is too large"},
        {"no pixels", test::dds_header(empty), "image has no pixels"},
        {"tga of 65535 x 65535", test::tga_header({2, 65535, 65535, 24, 0}) + "abc", "image size 65535x65535 is too large"},
        {"tga claiming more than its data", test::tga_header({2, 4000, 4000, 24, 0}) + "abc",
         "TGA: file ends before the last pixel"},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = decode_file(c.file);
        EXPECT_FALSE(decoded.ok) << c.name;
        EXPECT_EQ(decoded.error, c.error) << c.name;
    }
}

}
}
