#include "engine/host/window/cursor_file.h"

#include <gtest/gtest.h>

#include "cursor_fixtures.h"

namespace kq::host {
namespace {

using test::IconBitmap;
using test::icon_bitmap;
using test::icon_file;

bool read(const std::string& file, const std::string& extension, CursorFile& out, std::string& error)
{
    return read_cursor_file(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), extension, out,
                            error);
}

/// The picture shown first.
bool read(const std::string& file, const std::string& extension, CursorImage& image, std::string& error)
{
    CursorFile out;
    if (!read(file, extension, out, error))
        return false;
    image = out.first_frame();
    return true;
}

/// The pixel at (x, y) as 0xRRGGBBAA.
std::uint32_t pixel(const CursorImage& image, int x, int y)
{
    const std::uint8_t* p = &image.rgba[(y * image.width + x) * 4];
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// A 4 x 2 picture in every stored depth: top row red, white, transparent, black; bottom row
// all green. The masked white pixel of the paletted and 24-bit pictures inverts the screen
// on the original system and shows black here.
IconBitmap picture(int bits)
{
    IconBitmap bitmap{4, 2, bits, {}, {}, {}};
    if (bits <= 8) {
        bitmap.palette = {0x000000, 0xFF0000, 0xFFFFFF, 0x00FF00};
        if (bits == 1)
            bitmap.palette = {0x000000, 0xFFFFFF};
        bitmap.pixels = bits == 1 ? std::vector<std::uint32_t>{1, 1, 0, 0, 1, 1, 1, 1}
                                  : std::vector<std::uint32_t>{1, 2, 0, 0, 3, 3, 3, 3};
        bitmap.mask = {false, false, true, false, false, false, false, false};
    } else {
        const std::uint32_t alpha = bits == 32 ? 0xFF000000 : 0;
        bitmap.pixels = {alpha | 0xFF0000, alpha | 0xFFFFFF, 0, alpha, alpha | 0x00FF00,
                         alpha | 0x00FF00, alpha | 0x00FF00, alpha | 0x00FF00};
        bitmap.mask = {false, false, true, false, false, false, false, false};
    }
    return bitmap;
}

TEST(CursorFile, EveryStoredDepthGivesTheSamePicture)
{
    struct Case { int bits; std::uint32_t top_left; std::uint32_t second; std::uint32_t bottom; };
    const Case cases[] = {
        {1, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
        {4, 0xFF0000FF, 0xFFFFFFFF, 0x00FF00FF},
        {8, 0xFF0000FF, 0xFFFFFFFF, 0x00FF00FF},
        {24, 0xFF0000FF, 0xFFFFFFFF, 0x00FF00FF},
        {32, 0xFF0000FF, 0xFFFFFFFF, 0x00FF00FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        CursorImage image;
        std::string error;
        ASSERT_TRUE(read(icon_file(2, {{icon_bitmap(picture(c.bits)), 4, 2, 3, 1}}), "cur", image, error)) << error;
        EXPECT_EQ(image.width, 4);
        EXPECT_EQ(image.height, 2);
        EXPECT_EQ(image.hot_x, 3);
        EXPECT_EQ(image.hot_y, 1);
        EXPECT_EQ(pixel(image, 0, 0), c.top_left);
        EXPECT_EQ(pixel(image, 1, 0), c.second);
        EXPECT_EQ(pixel(image, 2, 0) & 0xFF, 0u) << "masked black is transparent";
        EXPECT_EQ(pixel(image, 3, 0), 0x000000FFu);
        EXPECT_EQ(pixel(image, 2, 1), c.bottom);
    }
}

TEST(CursorFile, MaskedColourShowsBlackAndAlphaOverridesTheMask)
{
    IconBitmap paletted = picture(8);
    paletted.mask[1] = true;  // the white pixel
    IconBitmap with_alpha = picture(32);
    with_alpha.pixels[0] = 0x80FF0000;
    with_alpha.mask[0] = true;  // the alpha decides, not the mask
    CursorImage image;
    std::string error;
    ASSERT_TRUE(read(icon_file(2, {{icon_bitmap(paletted), 4, 2, 0, 0}}), "cur", image, error)) << error;
    EXPECT_EQ(pixel(image, 1, 0), 0x000000FFu);
    ASSERT_TRUE(read(icon_file(2, {{icon_bitmap(with_alpha), 4, 2, 0, 0}}), "cur", image, error)) << error;
    EXPECT_EQ(pixel(image, 0, 0), 0xFF000080u);
}

TEST(CursorFile, TheEntryNearestThirtyTwoIsTakenAndAnIconPointsWithItsCentre)
{
    const auto bitmap = [](int side, std::uint32_t argb) {
        return icon_bitmap(IconBitmap{side, side, 32, {}, std::vector<std::uint32_t>(side * side, argb), {}});
    };
    const std::vector<test::IconEntry> entries = {
        {bitmap(16, 0xFF0000FF), 16, 16, 1, 2},
        {bitmap(32, 0xFFFF0000), 32, 32, 5, 6},
        {bitmap(48, 0xFF00FF00), 48, 48, 7, 8},
    };
    CursorImage image;
    std::string error;
    ASSERT_TRUE(read(icon_file(2, entries), "cur", image, error)) << error;
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.hot_x, 5);
    EXPECT_EQ(image.hot_y, 6);
    EXPECT_EQ(pixel(image, 0, 0), 0xFF0000FFu);
    ASSERT_TRUE(read(icon_file(1, entries), "ico", image, error)) << error;
    EXPECT_EQ(image.hot_x, 16);
    EXPECT_EQ(image.hot_y, 16);
}

TEST(CursorFile, AnAnimatedCursorShowsItsFirstStep)
{
    const std::string first = test::plain_cursor(8, 8, 1, 1, 0xFFFF0000);
    const std::string second = test::plain_cursor(16, 16, 9, 10, 0xFF00FF00);
    CursorImage image;
    std::string error;
    ASSERT_TRUE(read(test::ani_file({first, second}), "ani", image, error)) << error;
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(image.hot_x, 1);
    ASSERT_TRUE(read(test::ani_file({first, second}, {1, 0}), "ani", image, error)) << error;
    EXPECT_EQ(image.width, 16);
    EXPECT_EQ(image.hot_x, 9);
    EXPECT_EQ(image.hot_y, 10);
    EXPECT_EQ(pixel(image, 3, 3), 0x00FF00FFu);
}

TEST(CursorFile, AnAnimatedCursorStepsThroughItsFramesAtItsRates)
{
    const std::vector<std::string> frames = {test::plain_cursor(8, 8, 1, 1), test::plain_cursor(16, 16, 2, 2)};
    using Steps = std::vector<std::pair<int, int>>;  // frame, milliseconds
    struct Case { const char* title; std::string file; Steps steps; };
    const Case cases[] = {
        {"frame order at the header's rate", test::ani_file(frames), {{0, 166}, {1, 166}}},
        {"the sequence at its rates", test::ani_file(frames, {1, 0, 1}, {6, 12, 60}), {{1, 100}, {0, 200}, {1, 1000}}},
        {"a step of no time lasts a sixtieth", test::ani_file(frames, {}, {0, 3}), {{0, 16}, {1, 50}}},
    };
    for (const Case& c : cases) {
        CursorFile file;
        std::string error;
        ASSERT_TRUE(read(c.file, "ani", file, error)) << c.title << ": " << error;
        ASSERT_EQ(file.frames.size(), 2u) << c.title;
        Steps steps;
        for (const CursorFile::Step& step : file.steps)
            steps.emplace_back(step.frame, step.duration_ms);
        EXPECT_EQ(steps, c.steps) << c.title;
    }
    CursorFile still;
    std::string error;
    ASSERT_TRUE(read(frames[0], "cur", still, error));
    EXPECT_TRUE(still.steps.empty());
}

TEST(CursorFile, DamagedFilesFailSayingWhy)
{
    const std::string good = test::plain_cursor(4, 4, 1, 1);
    const auto patch = [](std::string file, std::size_t at, std::uint32_t value) {
        std::string bytes;
        test::put_u32(bytes, value);
        return file.replace(at, 4, bytes);
    };
    const auto patched = [&](std::size_t at, std::uint32_t value) { return patch(good, at, value); };
    IconBitmap paletted = picture(4);
    paletted.palette.resize(2);  // index 3 is used
    std::string frameless = test::ani_file({good});
    frameless.replace(frameless.find("icon"), 4, "junk");

    // Offsets in a one-entry cursor file: the directory at 6, the bitmap at 22.
    struct Case { const char* title; std::string file; const char* extension; const char* why; };
    const Case cases[] = {
        {"empty", "", "cur", "a part lies beyond the end of the file"},
        {"not a directory", patched(0, 0x00020005), "cur", "not an icon or cursor file"},
        {"no pictures", good.substr(0, 4) + std::string(2, '\0'), "cur", "no pictures"},
        {"directory cut", good.substr(0, 12), "cur", "a part lies beyond the end of the file"},
        {"picture beyond the end", patched(18, 0xFFFFFFF0), "cur", "a part lies beyond the end of the file"},
        {"picture longer than the file", patched(14, 0x7FFFFFFF), "cur", "a part lies beyond the end of the file"},
        {"cut picture", good.substr(0, good.size() - 10), "cur", "a part lies beyond the end of the file"},
        {"bad header size", patched(22, 12), "cur", "bad bitmap header size"},
        {"zero width", patched(26, 0), "cur", "bad bitmap size"},
        {"huge width", patched(26, 100000), "cur", "bad bitmap size"},
        {"negative height", patched(30, 0xFFFFFFF8), "cur", "bad bitmap size"},
        {"sixteen bits", patched(34, 0x00100001), "cur", "unsupported bits per pixel"},
        {"compressed", patched(38, 1), "cur", "compressed bitmaps are not supported"},
        {"palette too large", patch(icon_file(2, {{icon_bitmap(picture(8)), 4, 2, 0, 0}}), 54, 257), "cur",
         "bad palette size"},
        {"index beyond the palette", icon_file(2, {{icon_bitmap(paletted), 4, 2, 0, 0}}), "cur",
         "colour index beyond the palette"},
        {"hot spot outside", test::plain_cursor(4, 4, 4, 0), "cur", "hot spot outside the picture"},
        {"compressed picture", icon_file(2, {{"\x89PNG\r\n\x1a\n", 4, 4, 0, 0}}), "cur", "PNG pictures are not supported"},
        {"not RIFF", good, "ani", "not an animated cursor"},
        {"RIFF longer than the file", patch(test::ani_file({good}), 4, 0xFFFF), "ani",
         "a part lies beyond the end of the file"},
        {"chunk longer than the RIFF", patch(test::ani_file({good}), 16, 0xFFFF), "ani",
         "a part lies beyond the end of the file"},
        {"no frames", frameless, "ani", "no frames"},
        {"step beyond the frames", test::ani_file({good}, {1}), "ani", "a step names a missing frame"},
        {"raw frames", test::ani_file({good}, {}, {}, 0), "ani", "raw animation frames are not supported"},
        {"fewer rates than steps", test::ani_file({good, good}, {0, 1}, {5}), "ani", "fewer steps than the header says"},
        {"a damaged later frame", test::ani_file({good, good.substr(0, 30)}), "ani",
         "a part lies beyond the end of the file"},
        {"no header", test::riff_chunk("RIFF", "ACON" + test::riff_chunk("junk", "")), "ani", "no animation header"},
        {"other extension", good, "png", "not a cursor file extension"},
    };
    for (const Case& c : cases) {
        CursorImage image;
        std::string error;
        EXPECT_FALSE(read(c.file, c.extension, image, error)) << c.title;
        EXPECT_EQ(error, c.why) << c.title;
    }
}

}
}
