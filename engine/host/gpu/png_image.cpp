#include <cstring>

#include <png.h>

#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

// Deflate cannot expand data by more than about 1032 times: a header claiming more rows
// than the file could inflate to is damaged.
constexpr std::uint64_t max_inflate_ratio = 1032;

struct Input
{
    std::span<const std::uint8_t> file;
    std::size_t position;
    const char* error;  // the library's message when it gave up
};

void error_fn(png_structp png, png_const_charp message)
{
    static_cast<Input*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

void warning_fn(png_structp, png_const_charp) {}

void read_fn(png_structp png, png_bytep data, png_size_t n)
{
    Input* input = static_cast<Input*>(png_get_io_ptr(png));
    if (n > input->file.size() - input->position)
        png_error(png, "file ends early");
    std::memcpy(data, input->file.data() + input->position, n);
    input->position += n;
}

// Holds no object with a destructor: a library error jumps back into it. The row list
// belongs to the caller for that reason.
bool run_decoder(png_structp png, png_infop info, Input& input, NativeImage& image, std::vector<png_bytep>& rows,
                 std::string& error)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &input, read_fn);
    png_read_info(png, info);
    const std::uint64_t width = png_get_image_width(png, info);
    const std::uint64_t height = png_get_image_height(png, info);
    const std::uint64_t row_bytes = (width * png_get_channels(png, info) * png_get_bit_depth(png, info) + 7) / 8;
    if (height * (row_bytes + 1) > (input.file.size() - input.position + 1024) * max_inflate_ratio) {
        error = "image size is larger than the file's data";
        return false;
    }
    const int colour_type = png_get_color_type(png, info);
    const bool keyed = png_get_valid(png, info, PNG_INFO_tRNS);
    image.from_palette = colour_type == PNG_COLOR_TYPE_PALETTE;
    image.alpha_from_key = keyed && !image.from_palette;
    image.has_alpha = (colour_type & PNG_COLOR_MASK_ALPHA) || keyed;
    // Everything becomes 8-bit RGB or RGBA: palettes and transparency chunks expand, 16-bit
    // samples keep their high byte, grey is copied to the three colours.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const PixelFormat format = image.has_alpha ? PixelFormat::rgba32 : PixelFormat::rgb24;
    if (!size_native_image(image, format, width, height, error))
        return false;
    const std::size_t stride = width * bytes_per_pixel(format);
    if (png_get_rowbytes(png, info) != stride) {
        error = "unexpected PNG row layout";
        return false;
    }
    rows.resize(height);
    for (std::size_t y = 0; y < height; ++y)
        rows[y] = image.bytes.data() + y * stride;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

}

bool decode_png_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error)
{
    Input input{file, 0, nullptr};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, error_fn, warning_fn);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "PNG reader could not start";
        return false;
    }
    std::vector<png_bytep> rows;
    bool decoded = false;
    try {
        decoded = run_decoder(png, info, input, image, rows, error);
    } catch (...) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!decoded && error.empty())
        error = std::string("PNG: ") + (input.error ? input.error : "damaged file");
    return decoded;
}

}
