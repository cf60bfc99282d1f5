#include "engine/host/gpu/dds_header.h"

#include <cstring>

#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

constexpr std::uint32_t flag_mipmap_count = 0x20000;
constexpr std::uint32_t caps2_cubemap = 0x200;
constexpr std::uint32_t caps2_volume = 0x200000;
constexpr std::uint32_t pixel_alpha_pixels = 0x1;
constexpr std::uint32_t pixel_alpha_only = 0x2;
constexpr std::uint32_t pixel_fourcc = 0x4;
constexpr std::uint32_t pixel_rgb = 0x40;
constexpr std::uint32_t pixel_luminance = 0x20000;

bool masks_are(const PixelMasks& m, std::uint32_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b,
               std::uint32_t a)
{
    return m.bits == bits && m.red == r && m.green == g && m.blue == b && m.alpha == a;
}

// The layouts with a name of their own; any other mask layout stays `masked`.
PixelFormat named_format(const PixelMasks& m, bool alpha)
{
    if (!alpha && masks_are(m, 24, 0xFF0000, 0xFF00, 0xFF, 0))
        return PixelFormat::bgr24;
    if (!alpha && masks_are(m, 16, 0xF800, 0x7E0, 0x1F, 0))
        return PixelFormat::rgb565;
    if (alpha && masks_are(m, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000))
        return PixelFormat::bgra32;
    if (alpha && masks_are(m, 16, 0x7C00, 0x3E0, 0x1F, 0x8000))
        return PixelFormat::argb1555;
    if (alpha && masks_are(m, 16, 0xF00, 0xF0, 0xF, 0xF000))
        return PixelFormat::argb4444;
    return PixelFormat::masked;
}

// The pixel format of the header at h: a block format, a named layout or masks.
bool read_pixel_format(const std::uint8_t* h, NativeImage& image, std::string& error)
{
    const std::uint32_t flags = le32(h + 80);
    if (flags & pixel_fourcc) {
        const char* fourcc = reinterpret_cast<const char*>(h + 84);
        image.has_alpha = true;
        if (std::memcmp(fourcc, "DXT1", 4) == 0)
            image.format = PixelFormat::dxt1;
        else if (std::memcmp(fourcc, "DXT3", 4) == 0)
            image.format = PixelFormat::dxt3;
        else if (std::memcmp(fourcc, "DXT5", 4) == 0)
            image.format = PixelFormat::dxt5;
        else
            error = "DDS: unsupported compression " + std::string(fourcc, 4);
        return error.empty();
    }
    if (!(flags & (pixel_rgb | pixel_luminance | pixel_alpha_only))) {
        error = "DDS: unsupported pixel format";
        return false;
    }
    const std::uint32_t bits = le32(h + 88);
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        error = "DDS: unsupported pixel size of " + std::to_string(bits) + " bits";
        return false;
    }
    image.has_alpha = flags & (pixel_alpha_pixels | pixel_alpha_only);
    PixelMasks& m = image.masks;
    m.bits = bits;
    m.alpha = image.has_alpha ? le32(h + 104) : 0;
    if (flags & pixel_alpha_only)
        image.format = PixelFormat::masked;
    else if (flags & pixel_luminance)
        m.red = m.green = m.blue = le32(h + 92), image.format = PixelFormat::masked;
    else
        m.red = le32(h + 92), m.green = le32(h + 96), m.blue = le32(h + 100), image.format = named_format(m, image.has_alpha);
    return true;
}

}

bool read_dds_header(std::span<const std::uint8_t> file, NativeImage& image, std::uint32_t& levels,
                     std::string& error)
{
    image = NativeImage();
    if (file.size() < dds_header_size) {
        error = "DDS: file ends inside its header";
        return false;
    }
    const std::uint8_t* h = file.data();
    if (std::memcmp(h, "DDS ", 4) != 0) {
        error = "DDS: not a DDS file";
        return false;
    }
    const std::uint32_t caps2 = le32(h + 112), depth = le32(h + 24);
    if ((caps2 & caps2_cubemap) || ((caps2 & caps2_volume) && depth > 0)) {
        error = "DDS: cube maps and volume textures are not images";
        return false;
    }
    const std::uint32_t width = le32(h + 16), height = le32(h + 12);
    if (!check_image_size(width, height, error))
        return false;
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    const std::uint32_t count = le32(h + 28);
    levels = (le32(h + 8) & flag_mipmap_count) && count > 1 ? count - 1 : 0;
    read_pixel_format(h, image, error);
    return true;
}

}
