#include <cstring>

#include "engine/host/gpu/dxt.h"
#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

constexpr std::size_t header_size = 128;
constexpr std::uint32_t caps2_cubemap = 0x200;
constexpr std::uint32_t caps2_volume = 0x200000;
constexpr std::uint32_t pixel_alpha_pixels = 0x1;
constexpr std::uint32_t pixel_alpha_only = 0x2;
constexpr std::uint32_t pixel_fourcc = 0x4;
constexpr std::uint32_t pixel_rgb = 0x40;
constexpr std::uint32_t pixel_luminance = 0x20000;

bool decode_blocks(DxtFormat format, std::span<const std::uint8_t> data, RgbaImage& image, std::string& error)
{
    const std::size_t across = (std::size_t(image.width) + 3) / 4, down = (std::size_t(image.height) + 3) / 4;
    if (data.size() < across * down * dxt_block_size(format)) {
        error = "DDS: file ends before the last block";
        return false;
    }
    size_image(image, image.width, image.height, error);
    std::uint8_t block[64];
    for (std::size_t by = 0; by < down; ++by) {
        for (std::size_t bx = 0; bx < across; ++bx) {
            decode_dxt_block(format, data.data() + (by * across + bx) * dxt_block_size(format), block);
            // Blocks over the right or bottom edge keep only the pixels inside the image.
            for (std::size_t y = by * 4; y < std::min<std::size_t>(by * 4 + 4, image.height); ++y)
                for (std::size_t x = bx * 4; x < std::min<std::size_t>(bx * 4 + 4, image.width); ++x)
                    std::memcpy(image.pixels.data() + (y * image.width + x) * 4, block + ((y % 4) * 4 + x % 4) * 4, 4);
        }
    }
    return true;
}

struct Masks
{
    std::uint32_t bits, r, g, b, a, flags;
};

bool decode_masked(const Masks& m, std::span<const std::uint8_t> data, RgbaImage& image, std::string& error)
{
    if (m.bits != 8 && m.bits != 16 && m.bits != 24 && m.bits != 32) {
        error = "DDS: unsupported pixel size of " + std::to_string(m.bits) + " bits";
        return false;
    }
    const std::size_t size = m.bits / 8, count = std::size_t(image.width) * image.height;
    if (data.size() < count * size) {
        error = "DDS: file ends before the last pixel";
        return false;
    }
    size_image(image, image.width, image.height, error);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < size; ++k)
            v |= std::uint32_t(data[i * size + k]) << (8 * k);
        std::uint8_t* out = image.pixels.data() + i * 4;
        if (m.flags & pixel_alpha_only) {
            out[0] = out[1] = out[2] = 0;
        } else if (m.flags & pixel_luminance) {
            out[0] = out[1] = out[2] = masked_channel(v, m.r);
        } else {
            out[0] = masked_channel(v, m.r);
            out[1] = masked_channel(v, m.g);
            out[2] = masked_channel(v, m.b);
        }
        out[3] = image.has_alpha ? masked_channel(v, m.a) : 255;
    }
    return true;
}

}

bool decode_dds_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error)
{
    if (file.size() < header_size) {
        error = "DDS: file ends inside its header";
        return false;
    }
    const std::uint8_t* h = file.data();
    const std::uint32_t caps2 = le32(h + 112), depth = le32(h + 24);
    if ((caps2 & caps2_cubemap) || ((caps2 & caps2_volume) && depth > 0)) {
        error = "DDS: cube maps and volume textures are not images";
        return false;
    }
    if (!check_image_size(le32(h + 16), le32(h + 12), error))
        return false;
    // The pixels are allocated once the file is known to hold them.
    image.width = static_cast<std::int32_t>(le32(h + 16));
    image.height = static_cast<std::int32_t>(le32(h + 12));
    const std::uint32_t flags = le32(h + 80);
    const std::span<const std::uint8_t> data = file.subspan(header_size);
    if (flags & pixel_fourcc) {
        const char* fourcc = reinterpret_cast<const char*>(h + 84);
        image.has_alpha = true;
        if (std::memcmp(fourcc, "DXT1", 4) == 0)
            return decode_blocks(DxtFormat::dxt1, data, image, error);
        if (std::memcmp(fourcc, "DXT3", 4) == 0)
            return decode_blocks(DxtFormat::dxt3, data, image, error);
        if (std::memcmp(fourcc, "DXT5", 4) == 0)
            return decode_blocks(DxtFormat::dxt5, data, image, error);
        error = "DDS: unsupported compression " + std::string(fourcc, 4);
        return false;
    }
    const Masks masks{le32(h + 88), le32(h + 92), le32(h + 96), le32(h + 100), le32(h + 104), flags};
    if (!(flags & (pixel_rgb | pixel_luminance | pixel_alpha_only))) {
        error = "DDS: unsupported pixel format";
        return false;
    }
    image.has_alpha = flags & (pixel_alpha_pixels | pixel_alpha_only);
    return decode_masked(masks, data, image, error);
}

}
