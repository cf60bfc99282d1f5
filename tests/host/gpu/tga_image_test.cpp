#include <gtest/gtest.h>

#include "decode_file.h"
#include "image_files.h"

namespace kq {
namespace {

using test::Rgba;
using test::tga_header;
using test::TgaSpec;

TEST(TgaImage, KindsAndDepths)
{
    TgaSpec mapped{1, 2, 2, 8, 0x20, 1, 3, 24};
    TgaSpec mapped_offset = mapped;
    // The map's first entry is number 10: the pixels' indices start there.
    std::string offset_header = tga_header(mapped_offset);
    offset_header[3] = 10;
    struct Case {
        const char* name;
        std::string file;
        Rgba expected;  // 2 x 2 pixels, top row first
        bool has_alpha;
    };
    const Case cases[] = {
        {"24-bit bottom-up", tga_header({2, 2, 2, 24, 0}) + std::string("\1\2\3\4\5\6\7\10\11\12\13\14", 12),
         {9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255}, false},
        {"32-bit with alpha bits, right to left", tga_header({2, 2, 2, 32, 0x38}) + std::string("\1\2\3\4\5\6\7\10\11\12\13\14\15\16\17\20", 16),
         {7, 6, 5, 8, 3, 2, 1, 4, 15, 14, 13, 16, 11, 10, 9, 12}, true},
        {"32-bit without alpha bits", tga_header({2, 2, 2, 32, 0x20}) + std::string(16, '\x40'),
         {64, 64, 64, 255, 64, 64, 64, 255, 64, 64, 64, 255, 64, 64, 64, 255}, false},
        // 16-bit words: 0x7C00 red, 0x83E0 green with its alpha bit, 0x001F blue, 0xFFFF white.
        {"16-bit with an alpha bit", tga_header({2, 2, 2, 16, 0x21}) + std::string("\x00\x7C\xE0\x83\x1F\x00\xFF\xFF", 8),
         {255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 255, 0, 255, 255, 255, 255}, true},
        {"15-bit", tga_header({2, 2, 2, 15, 0x20}) + std::string("\x00\x7C\xE0\x03\x1F\x00\xFF\x7F", 8),
         {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}, false},
        {"grey", tga_header({3, 2, 2, 8, 0x20}) + "\1\2\3\4", {1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255, 4, 4, 4, 255}, false},
        {"grey with alpha", tga_header({3, 2, 2, 16, 0x28}) + "\1\5\2\6\3\7\4\10",
         {1, 1, 1, 5, 2, 2, 2, 6, 3, 3, 3, 7, 4, 4, 4, 8}, true},
        {"colour-mapped", tga_header(mapped) + std::string("\0\0\xFF\0\xFF\0\xFF\0\0", 9) + std::string("\0\1\2\0", 4),
         {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 255}, false},
        {"colour-mapped from entry 10", offset_header + std::string("\0\0\xFF\0\xFF\0\xFF\0\0", 9) + "\12\13\14\12",
         {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 255}, false},
        // A repeat packet of 3 runs across the row end, then a literal packet of 1.
        {"run-length 24-bit", tga_header({10, 2, 2, 24, 0x20}) + std::string("\x82\1\2\3\x00\4\5\6", 8),
         {3, 2, 1, 255, 3, 2, 1, 255, 3, 2, 1, 255, 6, 5, 4, 255}, false},
        {"run-length grey", tga_header({11, 2, 2, 8, 0x20}) + std::string("\x01\1\2\x81\3", 5),
         {1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255, 3, 3, 3, 255}, false},
        {"run-length colour-mapped", tga_header({9, 2, 2, 8, 0x20, 1, 2, 24}) + std::string("\0\0\xFF\0\xFF\0", 6) + "\x83\1",
         {0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255}, false},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = test::decode_file(c.file);
        ASSERT_TRUE(decoded.ok) << c.name << ": " << decoded.error;
        EXPECT_EQ(decoded.image.width, 2) << c.name;
        EXPECT_EQ(decoded.image.height, 2) << c.name;
        EXPECT_EQ(decoded.image.pixels, c.expected) << c.name;
        EXPECT_EQ(decoded.image.has_alpha, c.has_alpha) << c.name;
    }
}

TEST(TgaImage, DamagedFilesAreErrors)
{
    struct Case {
        const char* name;
        std::string file;
        const char* error;
    };
    const Case cases[] = {
        {"pixels short", tga_header({2, 2, 2, 24, 0}) + std::string(11, '\0'), "TGA: file ends before the last pixel"},
        {"run-length data ends", tga_header({10, 2, 2, 24, 0}) + "\x82\1\2", "TGA: file ends before the last pixel"},
        {"colour map short", tga_header({1, 1, 1, 8, 0, 1, 4, 24}) + std::string(5, '\0'),
         "TGA: file ends inside its colour map"},
        {"index outside the map", tga_header({1, 1, 1, 8, 0, 1, 1, 24}) + std::string("\0\0\0\1", 4),
         "TGA: colour index outside the colour map"},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = test::decode_file(c.file);
        EXPECT_FALSE(decoded.ok) << c.name;
        EXPECT_EQ(decoded.error, c.error) << c.name;
    }
}

}
}
