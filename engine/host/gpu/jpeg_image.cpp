#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf exit;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void error_exit(j_common_ptr info)
{
    ErrorManager* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->base.format_message(info, errors->message);
    std::longjmp(errors->exit, 1);
}

void output_message(j_common_ptr) {}

// One row of the library's output to RGBA. CMYK files written with an Adobe marker store
// their inks inverted (255 is no ink), as image editors write them.
void to_rgba(const jpeg_decompress_struct& info, const JSAMPLE* in, std::uint8_t* out)
{
    for (JDIMENSION x = 0; x < info.output_width; ++x, out += 4) {
        if (info.out_color_space == JCS_GRAYSCALE) {
            out[0] = out[1] = out[2] = in[x];
        } else if (info.out_color_space == JCS_RGB) {
            out[0] = in[x * 3];
            out[1] = in[x * 3 + 1];
            out[2] = in[x * 3 + 2];
        } else {
            const JSAMPLE* p = in + x * 4;
            const bool inverted = info.saw_Adobe_marker;
            const unsigned k = inverted ? p[3] : 255 - p[3];
            for (int c = 0; c < 3; ++c) {
                const unsigned ink_free = inverted ? p[c] : 255 - p[c];
                out[c] = static_cast<std::uint8_t>((ink_free * k + 127) / 255);
            }
        }
        out[3] = 255;
    }
}

// Holds no object with a destructor: a library error jumps back into it. The row buffer
// belongs to the caller for that reason.
bool run_decoder(jpeg_decompress_struct& info, ErrorManager& errors, RgbaImage& image, std::vector<JSAMPLE>& row,
                 std::string& error)
{
    if (setjmp(errors.exit))
        return false;
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
        info.out_color_space = JCS_CMYK;
    else if (info.jpeg_color_space != JCS_GRAYSCALE)
        info.out_color_space = JCS_RGB;
    if (!size_image(image, info.image_width, info.image_height, error))
        return false;
    jpeg_start_decompress(&info);
    row.resize(static_cast<std::size_t>(info.output_width) * info.output_components);
    while (info.output_scanline < info.output_height) {
        std::uint8_t* out = image.pixels.data() + std::size_t(info.output_scanline) * info.output_width * 4;
        JSAMPROW line = row.data();
        jpeg_read_scanlines(&info, &line, 1);
        to_rgba(info, row.data(), out);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}

bool decode_jpeg_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error)
{
    ErrorManager errors{};
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = error_exit;
    errors.base.output_message = output_message;
    if (setjmp(errors.exit)) {
        error = std::string("JPEG: ") + errors.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    std::vector<JSAMPLE> row;
    bool decoded = false;
    try {
        decoded = run_decoder(info, errors, image, row, error);
    } catch (...) {
        jpeg_destroy_decompress(&info);
        throw;
    }
    jpeg_destroy_decompress(&info);
    if (!decoded && error.empty())
        error = std::string("JPEG: ") + errors.message;
    return decoded;
}

}
