#include <gtest/gtest.h>

#include "decode_file.h"
#include "image_files.h"

namespace kq {
namespace {

using test::ByteWriter;
using test::dds_header;
using test::DdsSpec;
using test::Rgba;

// Colour end points of the blocks below: 5:6:5 red and blue.
constexpr unsigned red565 = 0xF800, blue565 = 0x001F;
// Pixels 0 to 3 of a block (its top row) take indices 0, 1, 2, 3; the rest index 0.
constexpr std::uint32_t indices_0123 = 0b11100100;

std::string dxt_file(const char* fourcc, const std::string& blocks, std::uint32_t width = 4, std::uint32_t height = 4)
{
    return dds_header({width, height, 0, 0x1007, 0x4, fourcc}) + blocks;
}

Rgba top_row(const test::Decoded& decoded)
{
    return Rgba(decoded.image.pixels.begin(), decoded.image.pixels.begin() + 16);
}

TEST(DdsImage, BlockCompressedTopRows)
{
    const std::string four_colour = ByteWriter().u16(red565).u16(blue565).u32(indices_0123).str();
    const std::string three_colour = ByteWriter().u16(blue565).u16(red565).u32(indices_0123).str();
    struct Case {
        const char* name;
        std::string file;
        Rgba expected;
    };
    const Case cases[] = {
        // Thirds between red and blue, rounding down.
        {"dxt1 four colours", dxt_file("DXT1", four_colour), {255, 0, 0, 255, 0, 0, 255, 255, 170, 0, 85, 255, 85, 0, 170, 255}},
        // First end point not above the second: a midpoint and transparent black.
        {"dxt1 three colours", dxt_file("DXT1", three_colour), {0, 0, 255, 255, 255, 0, 0, 255, 127, 0, 127, 255, 0, 0, 0, 0}},
        // Explicit alpha nibbles 0, 5, 10, 15; the colour half never takes the three-colour
        // mode outside DXT1.
        {"dxt3", dxt_file("DXT3", ByteWriter().u8(0x50).u8(0xFA).fill(6, 0).str() + three_colour),
         {0, 0, 255, 0, 255, 0, 0, 85, 85, 0, 170, 170, 170, 0, 85, 255}},
        // Alpha end points 200 and 60, indices 0, 1, 2, 7 (the 2nd and 7th of 8 steps).
        {"dxt5 eight alphas", dxt_file("DXT5", ByteWriter().u8(200).u8(60).bytes({0x88, 0x0E, 0, 0, 0, 0}).str() + four_colour),
         {255, 0, 0, 200, 0, 0, 255, 60, 170, 0, 85, 180, 85, 0, 170, 80}},
        // End points 60 and 200: six steps, then index 6 is 0 and index 7 is 255.
        {"dxt5 six alphas", dxt_file("DXT5", ByteWriter().u8(60).u8(200).bytes({0xF3, 0x03, 0, 0, 0, 0}).str() + four_colour),
         {255, 0, 0, 116, 0, 0, 255, 0, 170, 0, 85, 255, 85, 0, 170, 200}},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = test::decode_file(c.file);
        ASSERT_TRUE(decoded.ok) << c.name << ": " << decoded.error;
        EXPECT_EQ(top_row(decoded), c.expected) << c.name;
        EXPECT_TRUE(decoded.image.has_alpha) << c.name;
    }
}

TEST(DdsImage, BlocksOverTheEdgeAreClipped)
{
    // 5 x 5 pixels: 2 x 2 blocks, of which only the top-left pixel of the last one shows.
    std::string blocks;
    for (unsigned colour : {red565, red565, red565, blue565})
        blocks += ByteWriter().u16(colour).u16(0).u32(0).str();
    const test::Decoded decoded = test::decode_file(dxt_file("DXT1", blocks, 5, 5));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.image.pixels.size(), 5u * 5 * 4);
    const Rgba corner(decoded.image.pixels.end() - 4, decoded.image.pixels.end());
    EXPECT_EQ(corner, (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(Rgba(decoded.image.pixels.begin() + 16, decoded.image.pixels.begin() + 20), (Rgba{255, 0, 0, 255}));
}

TEST(DdsImage, UncompressedMasks)
{
    struct Case {
        const char* name;
        std::uint32_t flags, bits, r, g, b, a;
        std::string pixel;
        Rgba expected;
        bool has_alpha;
    };
    const Case cases[] = {
        {"argb 8888", 0x41, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, "\3\2\1\4", {1, 2, 3, 4}, true},
        {"xrgb 8888", 0x40, 32, 0xFF0000, 0xFF00, 0xFF, 0, "\3\2\1\4", {1, 2, 3, 255}, false},
        {"abgr 8888", 0x41, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, "\3\2\1\4", {3, 2, 1, 4}, true},
        {"rgb 565", 0x40, 16, 0xF800, 0x7E0, 0x1F, 0, std::string("\x1F\xF8", 2), {255, 0, 255, 255}, false},
        {"argb 4444", 0x41, 16, 0xF00, 0xF0, 0xF, 0xF000, std::string("\x0F\x80", 2), {0, 0, 255, 136}, true},
        {"luminance 8", 0x20000, 8, 0xFF, 0, 0, 0, "\x50", {80, 80, 80, 255}, false},
        {"alpha 8", 0x2, 8, 0, 0, 0, 0xFF, "\x50", {0, 0, 0, 80}, true},
    };
    for (const Case& c : cases) {
        const std::string file = dds_header({1, 1, 0, 0x1007, c.flags, "\0\0\0\0", c.bits, {c.r, c.g, c.b, c.a}}) + c.pixel;
        const test::Decoded decoded = test::decode_file(file);
        ASSERT_TRUE(decoded.ok) << c.name << ": " << decoded.error;
        EXPECT_EQ(decoded.image.pixels, c.expected) << c.name;
        EXPECT_EQ(decoded.image.has_alpha, c.has_alpha) << c.name;
    }
}

TEST(DdsImage, RefusedFiles)
{
    const std::string block(8, '\0');
    struct Case {
        const char* name;
        std::string file;
        const char* error;
    };
    const Case cases[] = {
        {"cube map", dds_header({4, 4, 0, 0x1007, 0x4, "DXT1", 0, {}, 0xFE00}) + std::string(48, '\0'),
         "DDS: cube maps and volume textures are not images"},
        {"volume", dds_header({4, 4, 0, 0x1007, 0x4, "DXT1", 0, {}, 0x200000, 2}) + block,
         "DDS: cube maps and volume textures are not images"},
        {"other compression", dxt_file("ATI2", block), "DDS: unsupported compression ATI2"},
        {"blocks short", dxt_file("DXT1", block, 8, 4), "DDS: file ends before the last block"},
        {"pixels short", dds_header({2, 1, 0, 0x1007, 0x40, "\0\0\0\0", 32, {0xFF0000, 0xFF00, 0xFF, 0}}) + "abcd",
         "DDS: file ends before the last pixel"},
        {"odd pixel size", dds_header({1, 1, 0, 0x1007, 0x40, "\0\0\0\0", 12}) + "ab", "DDS: unsupported pixel size of 12 bits"},
        {"no pixel kind", dds_header({1, 1, 0, 0x1007, 0, "\0\0\0\0", 32}) + "abcd", "DDS: unsupported pixel format"},
        {"header short", dxt_file("DXT1", "").substr(0, 127), "DDS: file ends inside its header"},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = test::decode_file(c.file);
        EXPECT_FALSE(decoded.ok) << c.name;
        EXPECT_EQ(decoded.error, c.error) << c.name;
    }
}

}
}
