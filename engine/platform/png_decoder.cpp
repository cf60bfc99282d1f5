#include <png.h>

#include "engine/base/stream.h"
#include "engine/platform/bitmap.h"

namespace kq {

namespace {

constexpr png_uint_32 max_side = 16384;
// Deflate cannot expand data by more than about 1032 times; a header claiming more rows
// than the rest of the file could inflate to is damaged, and nothing is allocated for it.
constexpr std::uint64_t max_inflate_ratio = 1032;

void error_fn(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void warning_fn(png_structp, png_const_charp) {}

void read_fn(png_structp png, png_bytep data, png_size_t n)
{
    Stream* stream = static_cast<Stream*>(png_get_io_ptr(png));
    bool complete = false;
    try {
        complete = stream->read(data, static_cast<std::uint32_t>(n)) == n;
    } catch (...) {
        // an exception must not unwind through the library
    }
    if (!complete)
        png_error(png, "unexpected end of file");
}

bool plausible_size(png_structp png, png_infop info, Stream& stream)
{
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width > max_side || height > max_side)
        return false;
    const std::uint64_t row_bytes = (std::uint64_t(width) * png_get_channels(png, info) * png_get_bit_depth(png, info) + 7) / 8;
    const std::uint64_t raw_bytes = std::uint64_t(height) * (row_bytes + 1);
    return raw_bytes <= (bytes_left(stream) + 1024) * max_inflate_ratio;
}

// Holds no object with a destructor: a library error jumps back into it. The row list
// belongs to the caller for that reason.
bool run_decoder(png_structp png, png_infop info, Stream& stream, Bitmap& bitmap, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &stream, read_fn);
    png_read_info(png, info);
    // Checked before any transform: expanding grey to RGB would expand palettes too.
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE || !plausible_size(png, info, stream))
        return false;
    // Grey becomes RGB (one of the two layouts a bitmap takes from a PNG); 16-bit samples
    // keep their most significant byte.
    png_set_gray_to_rgb(png);
    png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    std::int32_t format = BitmapNone;
    const int colour_type = png_get_color_type(png, info);
    if (colour_type == PNG_COLOR_TYPE_RGB_ALPHA)
        format = RGBA32;
    else if (colour_type == PNG_COLOR_TYPE_RGB)
        format = RGB24;
    if (format == BitmapNone || png_get_bit_depth(png, info) != 8)
        return false;

    const std::int32_t width = static_cast<std::int32_t>(png_get_image_width(png, info));
    const std::int32_t height = static_cast<std::int32_t>(png_get_image_height(png, info));
    bitmap.allocate(format, width, height);
    const std::size_t row = static_cast<std::size_t>(width) * bitmap.bpp();
    rows.resize(static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y)
        rows[y] = bitmap.data() + y * row;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

}

bool decode_png(Bitmap& bitmap, Stream& stream)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, error_fn, warning_fn);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    std::vector<png_bytep> rows;
    bool decoded = false;
    try {
        decoded = run_decoder(png, info, stream, bitmap, rows);
    } catch (...) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return decoded;
}

}
