#include <cstring>

#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

constexpr std::size_t file_header_size = 14;
constexpr std::uint32_t compression_none = 0;
constexpr std::uint32_t compression_bitfields = 3;

struct BmpInfo
{
    std::uint32_t header_size;
    std::int64_t width;
    std::int64_t height;  // negative: rows stored top first
    std::uint32_t bits;
    std::uint32_t compression;
    std::uint32_t colours_used;
    std::uint32_t masks[4];  // R, G, B, A
    std::size_t palette_start;
    std::size_t palette_entry;
};

bool read_info(std::span<const std::uint8_t> file, BmpInfo& info, std::string& error)
{
    if (file.size() < file_header_size + 12) {
        error = "BMP: file ends inside its header";
        return false;
    }
    const std::uint8_t* h = file.data() + file_header_size;
    info = BmpInfo{};
    info.header_size = le32(h);
    if (info.header_size == 12) {  // the oldest header: 16-bit sides, 3-byte palette entries
        info.width = le16(h + 4);
        info.height = static_cast<std::int16_t>(le16(h + 6));
        info.bits = le16(h + 10);
        info.palette_start = file_header_size + 12;
        info.palette_entry = 3;
        return true;
    }
    if (info.header_size < 40 || file.size() < file_header_size + info.header_size) {
        error = "BMP: unsupported or truncated header";
        return false;
    }
    info.width = static_cast<std::int32_t>(le32(h + 4));
    info.height = static_cast<std::int32_t>(le32(h + 8));
    info.bits = le16(h + 14);
    info.compression = le32(h + 16);
    info.colours_used = le32(h + 32);
    info.palette_start = file_header_size + info.header_size;
    info.palette_entry = 4;
    if (info.compression == compression_bitfields) {
        // The masks follow a 40-byte header and are part of the longer ones.
        const std::size_t masks_at = file_header_size + 40;
        const std::size_t count = info.header_size >= 56 ? 4 : 3;
        if (file.size() < masks_at + 12) {
            error = "BMP: file ends inside its colour masks";
            return false;
        }
        for (std::size_t i = 0; i < count; ++i)
            info.masks[i] = le32(file.data() + masks_at + 4 * i);
        if (info.header_size == 40)
            info.palette_start += 12;
    } else if (info.bits == 16) {
        info.masks[0] = 0x7C00, info.masks[1] = 0x03E0, info.masks[2] = 0x001F;
    } else if (info.bits == 32) {
        info.masks[0] = 0xFF0000, info.masks[1] = 0xFF00, info.masks[2] = 0xFF;
    }
    return true;
}

// The palette lies between the header and the pixels; its entries in blue, green, red order.
bool read_palette(std::span<const std::uint8_t> file, const BmpInfo& info, std::uint64_t pixel_start,
                  std::vector<std::uint8_t>& palette, std::string& error)
{
    const std::size_t count = info.colours_used ? info.colours_used : std::size_t(1) << info.bits;
    if (count > 256 || pixel_start < info.palette_start + count * info.palette_entry) {
        error = "BMP: damaged palette";
        return false;
    }
    palette.assign(256 * 3, 0);  // indices beyond the palette are black
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(palette.data() + i * 3, file.data() + info.palette_start + i * info.palette_entry, 3);
    return true;
}

// The stored layout: palettes expand to their blue, green, red entries; 16 and 32 bits
// without masks of their own are 5:5:5 and blue, green, red, unused.
PixelFormat format_of(const BmpInfo& info)
{
    if (info.bits <= 8 || info.bits == 24)
        return PixelFormat::bgr24;
    if (info.compression == compression_bitfields)
        return PixelFormat::masked;
    return info.bits == 16 ? PixelFormat::argb1555 : PixelFormat::bgra32;
}

}

bool decode_bmp_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error)
{
    BmpInfo info;
    if (!read_info(file, info, error))
        return false;
    const bool palette_bits = info.bits == 1 || info.bits == 4 || info.bits == 8;
    if (!palette_bits && info.bits != 16 && info.bits != 24 && info.bits != 32) {
        error = "BMP: unsupported pixel size of " + std::to_string(info.bits) + " bits";
        return false;
    }
    if (info.compression != compression_none &&
        !(info.compression == compression_bitfields && (info.bits == 16 || info.bits == 32))) {
        error = "BMP: compressed images are not supported";
        return false;
    }
    const std::uint64_t width = info.width < 0 ? 0 : info.width;
    const std::uint64_t height = info.height < 0 ? -info.height : info.height;
    if (!check_image_size(width, height, error))
        return false;
    const std::uint64_t stride = (width * info.bits + 31) / 32 * 4;
    const std::uint64_t pixel_start = le32(file.data() + 10);
    if (pixel_start > file.size() || file.size() - pixel_start < stride * height) {
        error = "BMP: file ends before the last pixel";
        return false;
    }
    std::vector<std::uint8_t> palette;
    if (palette_bits && !read_palette(file, info, pixel_start, palette, error))
        return false;
    image.masks = {info.bits, info.masks[0], info.masks[1], info.masks[2], info.masks[3]};
    size_native_image(image, format_of(info), width, height, error);
    image.has_alpha = info.masks[3] != 0;
    image.from_palette = palette_bits;
    const std::size_t pixel = bytes_per_pixel(image.format, image.masks);
    for (std::uint64_t row = 0; row < height; ++row) {
        const std::uint8_t* in = file.data() + pixel_start + row * stride;
        const std::uint64_t y = info.height < 0 ? row : height - 1 - row;
        std::uint8_t* out = image.bytes.data() + y * width * pixel;
        if (!palette_bits) {
            std::memcpy(out, in, width * pixel);
            continue;
        }
        for (std::uint64_t x = 0; x < width; ++x, out += 3) {
            const std::uint64_t bit = x * info.bits;
            const unsigned index = (in[bit / 8] >> (8 - info.bits - bit % 8)) & ((1u << info.bits) - 1);
            std::memcpy(out, palette.data() + index * 3, 3);
        }
    }
    return true;
}

}
