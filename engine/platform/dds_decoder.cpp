#include <cstring>

#include "engine/base/exception.h"
#include "engine/base/stream.h"
#include "engine/host/gpu/native_image.h"
#include "engine/platform/bitmap.h"

namespace kq {

namespace {

constexpr std::size_t header_size = 128;
constexpr std::uint32_t flag_mipmap_count = 0x20000;
constexpr std::uint32_t caps2_cubemap = 0x200;
constexpr std::uint32_t caps2_volume = 0x200000;
constexpr std::uint32_t pixel_alpha = 0x1;
constexpr std::uint32_t pixel_fourcc = 0x4;
constexpr std::uint32_t pixel_rgb = 0x40;

std::uint32_t le32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

bool masks_are(const std::uint8_t* h, std::uint32_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b,
               std::uint32_t a)
{
    return le32(h + 88) == bits && le32(h + 92) == r && le32(h + 96) == g && le32(h + 100) == b &&
           (a == 0 || le32(h + 104) == a);
}

// The formats a bitmap takes from a DDS header: the three block formats and five mask layouts.
std::int32_t format_of(const std::uint8_t* h)
{
    const std::uint32_t flags = le32(h + 80);
    if (flags & pixel_fourcc) {
        if (std::memcmp(h + 84, "DXT1", 4) == 0)
            return DXT1;
        if (std::memcmp(h + 84, "DXT3", 4) == 0)
            return DXT3;
        if (std::memcmp(h + 84, "DXT5", 4) == 0)
            return DXT5;
    } else if ((flags & pixel_rgb) && !(flags & pixel_alpha)) {
        if (masks_are(h, 24, 0xFF0000, 0xFF00, 0xFF, 0))
            return BGR24;
        if (masks_are(h, 16, 0xF800, 0x7E0, 0x1F, 0))
            return RGB565;
    } else if (flags & pixel_rgb) {
        if (masks_are(h, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000))
            return BGRA32;
        if (masks_are(h, 16, 0x7C00, 0x3E0, 0x1F, 0x8000))
            return ARGB1555;
        if (masks_are(h, 16, 0xF00, 0xF0, 0xF, 0xF000))
            return ARGB4444;
    }
    log_error("Unknown format", source_file_name(__FILE__), __LINE__);
    return BitmapNone;
}

// The mip levels the header announces beyond the main image.
std::size_t levels_announced(const std::uint8_t* h)
{
    const std::uint32_t count = le32(h + 28);
    return (le32(h + 8) & flag_mipmap_count) && count > 1 ? count - 1 : 0;
}

}

bool decode_dds(Bitmap& bitmap, Stream& stream)
{
    const std::vector<std::uint8_t> file = read_rest(stream);
    if (file.size() < header_size)
        stream.error("unexpected end of buffer.");
    const std::uint8_t* h = file.data();
    if (std::memcmp(h, "DDS ", 4) != 0)
        return false;
    if ((le32(h + 112) & caps2_cubemap) || ((le32(h + 112) & caps2_volume) && le32(h + 24) > 0))
        return false;
    const std::int32_t format = format_of(h);
    if (format == BitmapNone)
        return false;
    host::NativeImage image;
    std::string error;
    // Every level the header announces must be there whole.
    if (!host::decode_dds_image(file, image, error) || bitmap_format(image) != format ||
        image.levels.size() != levels_announced(h))
        return false;
    take_native_image(bitmap, std::move(image));
    return true;
}

}
