#include <gtest/gtest.h>

#include "decode_bytes.h"
#include "engine/base/exception.h"
#include "engine/platform/bitmap.h"
#include "tests/base/log_capture.h"
#include "tests/host/gpu/image_files.h"

namespace kq {
namespace {

using test::dds_header;
using test::DdsSpec;
using test::decode_bytes;

constexpr std::uint32_t with_mips = 0x1007 | 0x20000;

TEST(DdsDecoder, Dxt1MipLevels)
{
    DdsSpec spec{256, 256, 9, with_mips};
    const std::uint32_t total = 32768 + 8192 + 2048 + 512 + 128 + 32 + 8 + 8 + 8;
    std::string file = dds_header(spec);
    for (std::uint32_t i = 0; i < total; ++i)
        file += static_cast<char>(i % 251);
    Bitmap bitmap;
    ASSERT_TRUE(decode_bytes(bitmap, "dds", file));
    EXPECT_EQ(bitmap.format(), DXT1);
    EXPECT_EQ(bitmap.bpp(), 0);
    EXPECT_EQ(bitmap.size_bytes(), 32768u);
    EXPECT_EQ(bitmap.total_size(), total);
    ASSERT_EQ(bitmap.levels().size(), 8u);
    std::uint32_t offset = 32768;
    std::int32_t side = 128;
    for (const BitmapLevel& level : bitmap.levels()) {
        EXPECT_EQ(level.width, side);
        EXPECT_EQ(level.height, side);
        EXPECT_EQ(level.offset, offset);
        EXPECT_EQ(level.size, std::max<std::uint32_t>(8, side * side / 2));
        EXPECT_EQ(level.data, bitmap.data() + offset);
        EXPECT_EQ(level.data[0], static_cast<std::uint8_t>(offset % 251));
        offset += level.size;
        side /= 2;
    }
}

TEST(DdsDecoder, LevelsHalveRoundingDown)
{
    // 5 x 3 pixels of 2 bytes: levels 2 x 1 and 1 x 1, as a DDS file lays them out.
    DdsSpec spec{5, 3, 4, with_mips, 0x40, "\0\0\0\0", 16, {0xF800, 0x7E0, 0x1F, 0}};
    Bitmap bitmap;
    ASSERT_TRUE(decode_bytes(bitmap, "dds", dds_header(spec) + std::string(30 + 4 + 2 + 2, '\1')));
    EXPECT_EQ(bitmap.format(), RGB565);
    ASSERT_EQ(bitmap.levels().size(), 3u);
    struct Case {
        std::int32_t width, height;
        std::uint32_t offset, size;
    };
    const Case expected[] = {{2, 1, 30, 4}, {1, 1, 34, 2}, {1, 1, 36, 2}};
    for (std::size_t i = 0; i < 3; ++i) {
        const BitmapLevel& level = bitmap.levels()[i];
        EXPECT_EQ(level.width, expected[i].width) << i;
        EXPECT_EQ(level.height, expected[i].height) << i;
        EXPECT_EQ(level.offset, expected[i].offset) << i;
        EXPECT_EQ(level.size, expected[i].size) << i;
    }
    // Without the mip count flag the count is ignored.
    spec.flags = 0x1007;
    Bitmap single;
    ASSERT_TRUE(decode_bytes(single, "dds", dds_header(spec) + std::string(30, '\1')));
    EXPECT_TRUE(single.levels().empty());
}

TEST(DdsDecoder, PixelFormats)
{
    struct Case {
        const char* name;
        std::uint32_t pixel_flags;
        const char* fourcc;
        std::uint32_t bits;
        std::uint32_t r, g, b, a;
        std::int32_t format;  // BitmapNone: refused with "Unknown format"
    };
    const Case cases[] = {
        {"dxt1", 0x4, "DXT1", 0, 0, 0, 0, 0, DXT1},
        {"dxt3", 0x4, "DXT3", 0, 0, 0, 0, 0, DXT3},
        {"dxt5", 0x4, "DXT5", 0, 0, 0, 0, 0, DXT5},
        {"dxt2", 0x4, "DXT2", 0, 0, 0, 0, 0, BitmapNone},
        {"bgr", 0x40, "\0\0\0\0", 24, 0xFF0000, 0xFF00, 0xFF, 0, BGR24},
        {"565", 0x40, "\0\0\0\0", 16, 0xF800, 0x7E0, 0x1F, 0, RGB565},
        {"bgra", 0x41, "\0\0\0\0", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, BGRA32},
        {"1555", 0x41, "\0\0\0\0", 16, 0x7C00, 0x3E0, 0x1F, 0x8000, ARGB1555},
        {"4444", 0x41, "\0\0\0\0", 16, 0xF00, 0xF0, 0xF, 0xF000, ARGB4444},
        {"16-bit other masks", 0x41, "\0\0\0\0", 16, 0xF800, 0x7C0, 0x3E, 0x1, BitmapNone},
        {"rgb without alpha as 1555", 0x40, "\0\0\0\0", 16, 0x7C00, 0x3E0, 0x1F, 0, BitmapNone},
        {"bgrx", 0x40, "\0\0\0\0", 32, 0xFF0000, 0xFF00, 0xFF, 0, BitmapNone},
        {"luminance", 0x20000, "\0\0\0\0", 8, 0xFF, 0, 0, 0, BitmapNone},
    };
    for (const Case& c : cases) {
        test::LogCapture log;
        DdsSpec spec{4, 4, 0, 0x1007, c.pixel_flags, c.fourcc, c.bits, {c.r, c.g, c.b, c.a}};
        Bitmap bitmap;
        EXPECT_EQ(decode_bytes(bitmap, "dds", dds_header(spec) + std::string(64, '\0')), c.format != BitmapNone)
            << c.name;
        EXPECT_EQ(bitmap.format(), c.format) << c.name;
        EXPECT_EQ(log.text("error").find("\nUnknown format\n") != std::string::npos, c.format == BitmapNone) << c.name;
    }
}

TEST(DdsDecoder, RefusedFiles)
{
    auto with = [](void (*change)(DdsSpec&)) {
        DdsSpec spec{4, 4, 3, with_mips};
        change(spec);
        return dds_header(spec);
    };
    const std::string data(8 + 8 + 8, '\0');
    std::string bad_magic = with([](DdsSpec&) {}) + data;
    bad_magic[3] = 'X';
    struct Case {
        const char* name;
        std::string file;
    };
    const Case cases[] = {
        {"bad magic", bad_magic},
        {"cube map", with([](DdsSpec& s) { s.caps2 = 0xFE00; }) + data},
        {"volume", with([](DdsSpec& s) { s.caps2 = 0x200000, s.depth = 2; }) + data},
        {"pixels short", with([](DdsSpec&) {}) + data.substr(1)},
        {"oversized", with([](DdsSpec& s) { s.width = s.height = 0x40000000; }) + data},
        {"negative side", with([](DdsSpec& s) { s.width = 0x80000000; }) + data},
        {"endless mip count", with([](DdsSpec& s) { s.mip_count = 0xFFFFFFFF; }) + data},
    };
    for (const Case& c : cases) {
        Bitmap bitmap;
        EXPECT_FALSE(decode_bytes(bitmap, "dds", c.file)) << c.name;
    }
    // A volume texture of depth 0 is read as a plain image.
    Bitmap flat;
    EXPECT_TRUE(decode_bytes(flat, "dds", with([](DdsSpec& s) { s.caps2 = 0x200000; }) + data));
}

TEST(DdsDecoder, TruncatedHeaderIsAStreamError)
{
    const std::string header = dds_header({4, 4});
    for (std::size_t length : {0, 3, 4, 50, 100, 127}) {
        Bitmap bitmap;
        EXPECT_THROW(decode_bytes(bitmap, "dds", header.substr(0, length)), IOException) << length;
    }
}

}
}
