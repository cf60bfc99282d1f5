#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/platform/bitmap.h"

namespace kq {

namespace {

constexpr std::uint32_t flag_mipmap_count = 0x20000;
constexpr std::uint32_t caps2_cubemap = 0x200;
constexpr std::uint32_t caps2_volume = 0x200000;
constexpr std::uint32_t pixel_alpha = 0x1;
constexpr std::uint32_t pixel_fourcc = 0x4;
constexpr std::uint32_t pixel_rgb = 0x40;

struct DdsHeader
{
    char magic[4];
    std::uint32_t flags;
    std::uint32_t height;
    std::uint32_t width;
    std::uint32_t depth;
    std::uint32_t mip_count;
    std::uint32_t pixel_flags;
    char fourcc[4];
    std::uint32_t bit_count;
    std::uint32_t r_mask;
    std::uint32_t g_mask;
    std::uint32_t b_mask;
    std::uint32_t a_mask;
    std::uint32_t caps2;
};

void read_block(Stream& stream, void* data, std::uint32_t n)
{
    if (stream.read(data, n) != n)
        stream.error("unexpected end of buffer.");
}

DdsHeader read_header(Stream& stream)
{
    DdsHeader header{};
    char skipped[44];
    read_block(stream, header.magic, 4);
    read_u32(stream);  // size
    header.flags = read_u32(stream);
    header.height = read_u32(stream);
    header.width = read_u32(stream);
    read_u32(stream);  // pitch or linear size
    header.depth = read_u32(stream);
    header.mip_count = read_u32(stream);
    read_block(stream, skipped, 44);
    read_u32(stream);  // pixel format size
    header.pixel_flags = read_u32(stream);
    read_block(stream, header.fourcc, 4);
    header.bit_count = read_u32(stream);
    header.r_mask = read_u32(stream);
    header.g_mask = read_u32(stream);
    header.b_mask = read_u32(stream);
    header.a_mask = read_u32(stream);
    read_u32(stream);  // caps
    header.caps2 = read_u32(stream);
    read_block(stream, skipped, 12);  // caps3, caps4, reserved
    return header;
}

bool masks_are(const DdsHeader& h, std::uint32_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b,
               std::uint32_t a)
{
    return h.bit_count == bits && h.r_mask == r && h.g_mask == g && h.b_mask == b && (a == 0 || h.a_mask == a);
}

std::int32_t format_of(const DdsHeader& h)
{
    if (h.pixel_flags & pixel_fourcc) {
        if (std::memcmp(h.fourcc, "DXT1", 4) == 0)
            return DXT1;
        if (std::memcmp(h.fourcc, "DXT3", 4) == 0)
            return DXT3;
        if (std::memcmp(h.fourcc, "DXT5", 4) == 0)
            return DXT5;
    } else if ((h.pixel_flags & pixel_rgb) && !(h.pixel_flags & pixel_alpha)) {
        if (masks_are(h, 24, 0xFF0000, 0xFF00, 0xFF, 0))
            return BGR24;
        if (masks_are(h, 16, 0xF800, 0x7E0, 0x1F, 0))
            return RGB565;
    } else if (h.pixel_flags & pixel_rgb) {
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

}

bool decode_dds(Bitmap& bitmap, Stream& stream)
{
    const DdsHeader header = read_header(stream);
    if (std::memcmp(header.magic, "DDS ", 4) != 0)
        return false;
    if ((header.caps2 & caps2_cubemap) || ((header.caps2 & caps2_volume) && header.depth > 0))
        return false;
    const std::int32_t format = format_of(header);
    if (format == BitmapNone)
        return false;
    constexpr std::uint32_t max_side = std::numeric_limits<std::int32_t>::max();
    if (header.width > max_side || header.height > max_side)
        return false;
    std::int32_t width = static_cast<std::int32_t>(header.width);
    std::int32_t height = static_cast<std::int32_t>(header.height);

    // Every size is checked against what the file holds before anything is allocated, which
    // also bounds the loop over a damaged mip count.
    const std::uint64_t available = bytes_left(stream);
    std::uint64_t offset = Bitmap::data_size(format, width, height);
    if (offset > available)
        return false;
    std::vector<BitmapLevel> levels;
    if ((header.flags & flag_mipmap_count) && header.mip_count > 1) {
        for (std::uint32_t i = 1; i < header.mip_count; ++i) {
            // Each level halves the one before, rounding down, and is at least one pixel.
            width = std::max(1, width / 2);
            height = std::max(1, height / 2);
            const std::uint64_t size = Bitmap::data_size(format, width, height);
            if (offset + size > available)
                return false;
            levels.push_back({nullptr, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(size), width,
                              height});
            offset += size;
        }
    }
    bitmap.create(format, static_cast<std::int32_t>(header.width), static_cast<std::int32_t>(header.height), levels);
    const std::uint64_t total = bitmap.total_size();
    return stream.read(bitmap.data(), static_cast<std::uint32_t>(total)) == total;
}

}
