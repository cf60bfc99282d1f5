#include <gtest/gtest.h>

#include "decode_bytes.h"
#include "engine/base/exception.h"
#include "engine/platform/bitmap.h"
#include "tests/base/log_capture.h"
#include "tests/host/gpu/image_files.h"

namespace kq {
namespace {

using test::decode_bytes;
using test::pixels;
using test::tga_header;
using test::TgaSpec;
using Bytes = std::vector<std::uint8_t>;

// Pixels a, b in the first row of the file, c, d in the second (3 bytes each).
const std::string two_rows = "\1\2\3\4\5\6\7\10\11\12\13\14";

TEST(TgaDecoder, OriginsAndMirroring)
{
    const Bytes a{1, 2, 3}, b{4, 5, 6}, c{7, 8, 9}, d{10, 11, 12};
    auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    struct Case {
        unsigned descriptor;
        Bytes expected;
    };
    const Case cases[] = {
        {0x00, join({c, d, a, b})},  // bottom-left: the last file row is the top row
        {0x20, join({a, b, c, d})},  // top-left: as stored
        {0x10, join({d, c, b, a})},  // bottom-right
        {0x30, join({b, a, d, c})},  // top-right
    };
    for (const Case& c : cases) {
        Bitmap bitmap;
        ASSERT_TRUE(decode_bytes(bitmap, "tga", tga_header({2, 2, 2, 24, c.descriptor}) + two_rows)) << c.descriptor;
        EXPECT_EQ(bitmap.format(), BGR24);
        EXPECT_EQ(bitmap.width(), 2);
        EXPECT_EQ(bitmap.height(), 2);
        EXPECT_EQ(pixels(bitmap), c.expected) << c.descriptor;
    }
}

TEST(TgaDecoder, FormatsByTypeAndDepth)
{
    struct Case {
        unsigned type;
        unsigned depth;
        std::int32_t format;  // BitmapNone: refused
    };
    const Case cases[] = {
        {2, 24, BGR24}, {2, 32, BGRA32}, {3, 8, Gray8},       {2, 16, BitmapNone}, {2, 15, BitmapNone},
        {3, 16, BitmapNone}, {1, 8, BitmapNone}, {0, 8, BitmapNone},
    };
    for (const Case& c : cases) {
        test::LogCapture log;
        Bitmap bitmap;
        const std::string file = tga_header({c.type, 1, 1, c.depth, 0x20}) + std::string(4, '\x55');
        EXPECT_EQ(decode_bytes(bitmap, "tga", file), c.format != BitmapNone) << c.type << " " << c.depth;
        EXPECT_EQ(bitmap.format(), c.format);
        EXPECT_EQ(log.text("error"), "\n") << "refusing a kind of TGA is not an error";
    }
}

TEST(TgaDecoder, IdFieldIsSkipped)
{
    TgaSpec spec{3, 1, 1, 8, 0x20};
    spec.id_length = 5;
    Bitmap bitmap;
    ASSERT_TRUE(decode_bytes(bitmap, "tga", tga_header(spec) + "\x42"));
    EXPECT_EQ(pixels(bitmap), Bytes{0x42});
}

TEST(TgaDecoder, ColourMapOfATrueColourImageIsSkipped)
{
    // Two 24-bit map entries between the header and the one pixel.
    Bitmap bitmap;
    ASSERT_TRUE(decode_bytes(bitmap, "tga", tga_header({2, 1, 1, 24, 0x20, 1, 2, 24}) + "mapmap" + "\1\2\3"));
    EXPECT_EQ(pixels(bitmap), (Bytes{1, 2, 3}));
}

TEST(TgaDecoder, RunLengthEncodedIsLoggedAndRefused)
{
    for (unsigned type : {10u, 11u}) {
        test::LogCapture log;
        Bitmap bitmap;
        const std::string file = tga_header({type, 2, 1, type == 10 ? 24u : 8u, 0x20}) + "\x81\1\2\3";
        EXPECT_FALSE(decode_bytes(bitmap, "tga", file));
        EXPECT_NE(log.text("error").find("\nCompressed tga not supported\n"), std::string::npos) << type;
    }
    // Colour-mapped (compressed or not) fails quietly.
    test::LogCapture log;
    Bitmap bitmap;
    EXPECT_FALSE(decode_bytes(bitmap, "tga", tga_header({9, 1, 1, 8, 0x20, 1, 2, 24}) + "\0\0\0\0\0\0\0"));
    EXPECT_EQ(log.text("error"), "\n");
}

TEST(TgaDecoder, TruncatedAndOversizedFiles)
{
    const std::string header = tga_header({2, 2, 2, 24, 0});
    for (std::size_t length : {0, 1, 11, 17}) {
        Bitmap bitmap;
        EXPECT_THROW(decode_bytes(bitmap, "tga", header.substr(0, length)), IOException) << length;
    }
    struct Case {
        std::string file;
    };
    const Case cases[] = {
        {header + two_rows.substr(0, 11)},                         // bottom-up, one byte short
        {tga_header({2, 2, 2, 24, 0x20}) + two_rows.substr(0, 6)},  // top-down, a row short
        {tga_header({2, 65535, 65535, 32, 0x20}) + two_rows},       // 16 GiB claimed by 30 bytes
    };
    for (const Case& c : cases) {
        Bitmap bitmap;
        EXPECT_FALSE(decode_bytes(bitmap, "tga", c.file));
    }
}

}
}
