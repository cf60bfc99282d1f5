#include <gtest/gtest.h>

#include "decode_file.h"
#include "image_files.h"

namespace kq {
namespace {

using test::Rgba;

// Flat colours survive top-quality JPEG within a few steps.
void expect_colour(const test::Decoded& decoded, const Rgba& colour, const char* name)
{
    ASSERT_TRUE(decoded.ok) << name << ": " << decoded.error;
    const Rgba& pixels = decoded.image.pixels;
    ASSERT_EQ(pixels.size(), std::size_t(decoded.image.width) * decoded.image.height * 4) << name;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        EXPECT_NEAR(pixels[i], colour[i % 4], 3) << name << " byte " << i;
    EXPECT_FALSE(decoded.image.has_alpha) << name;
}

TEST(JpegImage, GreyColourAndCmyk)
{
    auto repeat = [](Rgba sample, int times) {
        Rgba all;
        for (int i = 0; i < times; ++i)
            all.insert(all.end(), sample.begin(), sample.end());
        return all;
    };
    // CMYK as image editors store it with their marker: inverted, 255 is no ink. Red is full
    // magenta and yellow; a grey of 50% black.
    struct Case {
        const char* name;
        J_COLOR_SPACE space;
        Rgba sample;
        Rgba expected;
    };
    const Case cases[] = {
        {"grey", JCS_GRAYSCALE, {90}, {90, 90, 90, 255}},
        {"colour", JCS_RGB, {250, 128, 20}, {250, 128, 20, 255}},
        {"cmyk red", JCS_CMYK, {255, 0, 0, 255}, {255, 0, 0, 255}},
        {"cmyk half black", JCS_CMYK, {255, 255, 255, 128}, {128, 128, 128, 255}},
    };
    for (const Case& c : cases) {
        const test::Decoded decoded = test::decode_file(test::jpeg_file(16, 8, c.space, repeat(c.sample, 16 * 8)));
        EXPECT_EQ(decoded.image.width, 16) << c.name;
        EXPECT_EQ(decoded.image.height, 8) << c.name;
        expect_colour(decoded, c.expected, c.name);
    }
}

TEST(JpegImage, TruncatedDataDecodesDamagedHeadersDoNot)
{
    Rgba noise(64 * 64);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 7919 % 256);
    const std::string file = test::jpeg_file(64, 64, JCS_GRAYSCALE, noise);
    EXPECT_TRUE(test::decode_file(file.substr(0, file.size() - 500)).ok);

    std::string huge = file;
    const std::size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = '\x7F';
    huge[sof + 7] = '\x7F';
    for (const std::string& bad : {file.substr(0, 40), huge}) {
        const test::Decoded decoded = test::decode_file(bad);
        EXPECT_FALSE(decoded.ok);
        EXPECT_FALSE(decoded.error.empty());
    }
}

}
}
