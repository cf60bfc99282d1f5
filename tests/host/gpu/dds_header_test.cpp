#include "engine/host/gpu/dds_header.h"

#include <gtest/gtest.h>

#include "image_files.h"

namespace kq::host {
namespace {

using test::dds_header;
using test::DdsSpec;

bool read(const std::string& file, NativeImage& image, std::uint32_t& levels, std::string& error)
{
    return read_dds_header({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}, image, levels, error);
}

TEST(DdsHeader, LevelsAnnouncedAfterTheMainImage)
{
    constexpr std::uint32_t with_mips = 0x1007 | 0x20000;
    struct Case {
        std::uint32_t flags, mip_count, levels;
    };
    // The count includes the main image, and counts only under its flag.
    for (const Case c : {Case{with_mips, 9, 8}, Case{with_mips, 1, 0}, Case{with_mips, 0, 0}, Case{0x1007, 9, 0},
                         Case{with_mips, 0xFFFFFFFF, 0xFFFFFFFE}}) {
        NativeImage image;
        std::uint32_t levels = 77;
        std::string error;
        ASSERT_TRUE(read(dds_header({8, 4, c.mip_count, c.flags}), image, levels, error)) << error;
        EXPECT_EQ(levels, c.levels) << c.mip_count;
        EXPECT_EQ(image.format, PixelFormat::dxt1);
        EXPECT_EQ(image.width, 8);
        EXPECT_EQ(image.height, 4);
        EXPECT_TRUE(image.bytes.empty()) << "the header alone";
    }
}

// A pixel format no reader takes is no fault of the header: its reader says why.
TEST(DdsHeader, AnUnsupportedPixelFormatReadsAsNone)
{
    NativeImage image;
    std::uint32_t levels = 0;
    std::string error;
    EXPECT_TRUE(read(dds_header({4, 4, 0, 0x1007, 0x4, "DXT2"}), image, levels, error));
    EXPECT_EQ(image.format, PixelFormat::none);
    EXPECT_EQ(error, "DDS: unsupported compression DXT2");
    error.clear();
    EXPECT_FALSE(read(dds_header({4, 4, 0, 0x1007, 0x4, "DXT2"}).substr(0, 127), image, levels, error));
    EXPECT_EQ(error, "DDS: file ends inside its header");
}

}
}
