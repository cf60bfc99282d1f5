#include <gtest/gtest.h>

#include "decode_file.h"
#include "image_files.h"

namespace kq {
namespace {

using test::ByteWriter;
using test::Rgba;

// A file with the first 40 bytes of a header of the given size, then `between` (the rest of
// the header, the palette or the masks), then the pixel rows.
std::string bmp_file(std::int32_t width, std::int32_t height, unsigned bits, unsigned compression,
                     const std::string& between, const std::string& rows, unsigned header_size = 40,
                     unsigned colours_used = 0)
{
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(between.size());
    ByteWriter w;
    w.text("BM").u32(offset + static_cast<std::uint32_t>(rows.size())).u32(0).u32(offset);
    w.u32(header_size).u32(width).u32(height).u16(1).u16(bits).u32(compression).u32(0).fill(8, 0);
    w.u32(colours_used).u32(0);
    return w.str() + between + rows;
}

TEST(BmpImage, DepthsAndLayouts)
{
    const std::string two_colours = ByteWriter().bytes({0, 0, 255, 0, 255, 0, 0, 0}).str();  // red, blue
    const std::string masks_565 = ByteWriter().u32(0xF800).u32(0x07E0).u32(0x001F).str();
    // A 108-byte header carries the masks itself, alpha included.
    std::string v4_masks = ByteWriter().u32(0xFF).u32(0xFF00).u32(0xFF0000).u32(0xFF000000).fill(52, 0).str();
    struct Case {
        const char* name;
        std::string file;
        Rgba expected;  // 2 x 2 pixels, top row first
        bool has_alpha;
    };
    const Case cases[] = {
        // Rows of 6 bytes padded to 8, bottom row first.
        {"24-bit", bmp_file(2, 2, 24, 0, "", std::string("\1\2\3\4\5\6\0\0\7\10\11\12\13\14\0\0", 16)),
         {9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255}, false},
        {"24-bit top-down", bmp_file(2, -2, 24, 0, "", std::string("\1\2\3\4\5\6\0\0\7\10\11\12\13\14\0\0", 16)),
         {3, 2, 1, 255, 6, 5, 4, 255, 9, 8, 7, 255, 12, 11, 10, 255}, false},
        {"32-bit ignores its fourth byte", bmp_file(2, 1, 32, 0, "", std::string("\1\2\3\0\4\5\6\0", 8)),
         {3, 2, 1, 255, 6, 5, 4, 255}, false},
        {"32-bit with an alpha mask", bmp_file(2, 1, 32, 3, v4_masks, std::string("\1\2\3\0\4\5\6\x80", 8), 108),
         {1, 2, 3, 0, 4, 5, 6, 128}, true},
        {"16-bit 555", bmp_file(2, 1, 16, 0, "", std::string("\x00\x7C\x1F\x00", 4)), {255, 0, 0, 255, 0, 0, 255, 255}, false},
        {"16-bit 565 masks", bmp_file(2, 1, 16, 3, masks_565, std::string("\x00\xF8\xE0\x07", 4)),
         {255, 0, 0, 255, 0, 255, 0, 255}, false},
        {"8-bit palette", bmp_file(2, 1, 8, 0, two_colours, std::string("\1\0\0\0", 4), 40, 2), {0, 0, 255, 255, 255, 0, 0, 255}, false},
        {"4-bit palette", bmp_file(2, 1, 4, 0, two_colours, std::string("\x10\0\0\0", 4), 40, 2), {0, 0, 255, 255, 255, 0, 0, 255}, false},
        {"1-bit palette", bmp_file(2, 1, 1, 0, two_colours, std::string("\x40\0\0\0", 4), 40, 2), {255, 0, 0, 255, 0, 0, 255, 255}, false},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = test::decode_file(c.file);
        ASSERT_TRUE(decoded.ok) << c.name << ": " << decoded.error;
        EXPECT_EQ(decoded.image.pixels, c.expected) << c.name;
        EXPECT_EQ(decoded.image.has_alpha, c.has_alpha) << c.name;
    }
}

TEST(BmpImage, DamagedAndUnsupportedFiles)
{
    struct Case {
        const char* name;
        std::string file;
        const char* error;
    };
    const Case cases[] = {
        {"run-length", bmp_file(2, 1, 8, 1, std::string(8, '\0'), "\0\0\0\0"), "BMP: compressed images are not supported"},
        {"rows short", bmp_file(2, 2, 24, 0, "", std::string(12, '\0')), "BMP: file ends before the last pixel"},
        {"palette short", bmp_file(2, 1, 8, 0, std::string(6, '\0'), std::string(4, '\0'), 40, 2), "BMP: damaged palette"},
        {"palette too long", bmp_file(2, 1, 8, 0, "", std::string(4, '\0'), 40, 257), "BMP: damaged palette"},
        {"odd depth", bmp_file(1, 1, 2, 0, "", "\0\0\0\0"), "BMP: unsupported pixel size of 2 bits"},
        {"header short", bmp_file(1, 1, 24, 0, "", "").substr(0, 40), "BMP: unsupported or truncated header"},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = test::decode_file(c.file);
        EXPECT_FALSE(decoded.ok) << c.name;
        EXPECT_EQ(decoded.error, c.error) << c.name;
    }
}

}
}
