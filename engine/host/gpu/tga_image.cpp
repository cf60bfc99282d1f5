#include <cstring>

#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

struct TgaHeader
{
    unsigned id_length;
    unsigned colour_map_type;
    unsigned image_type;
    unsigned map_first;
    unsigned map_length;
    unsigned map_depth;
    unsigned width;
    unsigned height;
    unsigned depth;
    unsigned descriptor;
};

TgaHeader read_header(const std::uint8_t* p)
{
    return {p[0], p[1], p[2], le16(p + 3), le16(p + 5), p[7], le16(p + 12), le16(p + 14), p[16], p[17]};
}

bool is_colour_mapped(const TgaHeader& h)
{
    return (h.image_type & 7) == 1;
}

bool is_grey(const TgaHeader& h)
{
    return (h.image_type & 7) == 3;
}

// The pixel depths each kind of image may have.
bool valid_depth(const TgaHeader& h)
{
    switch (h.image_type & 7) {
    case 1:
        return (h.depth == 8 || h.depth == 16) && h.colour_map_type == 1 &&
               (h.map_depth == 15 || h.map_depth == 16 || h.map_depth == 24 || h.map_depth == 32);
    case 2:
        return h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    case 3:
        return h.depth == 8 || h.depth == 16;
    default:
        return false;
    }
}

// The layout of one colour of `depth` bits as the file stores it.
PixelFormat colour_format(unsigned depth)
{
    return depth == 15 || depth == 16 ? PixelFormat::argb1555 : depth == 24 ? PixelFormat::bgr24 : PixelFormat::bgra32;
}

// The stored pixels, unpacked from run-length packets when the image is encoded; false when
// the data ends before every pixel is there. Packets may run across rows.
bool read_pixels(const TgaHeader& h, std::span<const std::uint8_t> data, std::size_t count, std::size_t size,
                 std::vector<std::uint8_t>& out)
{
    if (!(h.image_type & 8)) {
        if (data.size() < count * size)
            return false;
        out.assign(data.begin(), data.begin() + count * size);
        return true;
    }
    out.clear();
    out.reserve(count * size);
    std::size_t pos = 0;
    while (out.size() < count * size) {
        if (pos >= data.size())
            return false;
        const unsigned packet = data[pos++];
        const std::size_t run = std::min<std::size_t>((packet & 0x7F) + 1, count - out.size() / size);
        if (packet & 0x80) {
            if (data.size() - pos < size)
                return false;
            for (std::size_t i = 0; i < run; ++i)
                out.insert(out.end(), data.begin() + pos, data.begin() + pos + size);
            pos += size;
        } else {
            if (data.size() - pos < run * size)
                return false;
            out.insert(out.end(), data.begin() + pos, data.begin() + pos + run * size);
            pos += run * size;
        }
    }
    return true;
}

}

bool looks_like_tga(std::span<const std::uint8_t> file)
{
    if (file.size() < 18)
        return false;
    const TgaHeader h = read_header(file.data());
    return h.colour_map_type <= 1 && (h.image_type & ~8u) >= 1 && (h.image_type & ~8u) <= 3 && valid_depth(h);
}

bool decode_tga_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error)
{
    if (!looks_like_tga(file)) {
        error = "TGA: unsupported kind of image";
        return false;
    }
    const TgaHeader h = read_header(file.data());
    const std::size_t map_entry = (h.map_depth + 7) / 8;
    const std::size_t map_start = 18 + h.id_length;
    const std::size_t map_bytes = h.colour_map_type == 1 ? h.map_length * map_entry : 0;
    if (file.size() < map_start + map_bytes) {
        error = "TGA: file ends inside its colour map";
        return false;
    }
    if (!check_image_size(h.width, h.height, error))
        return false;
    // Every pixel takes at least one stored byte (a run-length packet at most 128), so a
    // header claiming far more pixels than that is refused before unpacking.
    const std::size_t size = (h.depth + 7) / 8;
    const std::size_t count = std::size_t(h.width) * h.height;
    std::vector<std::uint8_t> stored;
    if (count > (file.size() - map_start - map_bytes) * 128 ||
        !read_pixels(h, file.subspan(map_start + map_bytes), count, size, stored)) {
        error = "TGA: file ends before the last pixel";
        return false;
    }
    const unsigned colour_depth = is_colour_mapped(h) ? h.map_depth : h.depth;
    const PixelFormat format = !is_grey(h) ? colour_format(colour_depth)
                               : size == 1 ? PixelFormat::gray8 : PixelFormat::gray_alpha16;
    size_native_image(image, format, h.width, h.height, error);
    image.has_alpha = (h.descriptor & 0x0F) != 0 && (colour_depth == 16 || colour_depth == 32);
    image.from_palette = is_colour_mapped(h);
    const std::size_t pixel = bytes_per_pixel(format);
    const std::uint8_t* map = file.data() + map_start;
    const bool top_down = h.descriptor & 0x20;
    const bool right_to_left = h.descriptor & 0x10;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t row = i / h.width, column = i % h.width;
        const std::size_t y = top_down ? row : h.height - 1 - row;
        const std::size_t x = right_to_left ? h.width - 1 - column : column;
        const std::uint8_t* p = stored.data() + i * size;
        if (is_colour_mapped(h)) {
            const std::uint32_t index = size == 1 ? p[0] : le16(p);
            if (index < h.map_first || index - h.map_first >= h.map_length) {
                error = "TGA: colour index outside the colour map";
                return false;
            }
            p = map + (index - h.map_first) * map_entry;
        }
        std::memcpy(image.bytes.data() + (y * h.width + x) * pixel, p, pixel);
    }
    return true;
}

}
