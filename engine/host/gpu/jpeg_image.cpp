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

// One row of CMYK to RGBA. Files written with an Adobe marker store their inks inverted
// (255 is no ink), as image editors write them.
void cmyk_to_rgba(const jpeg_decompress_struct& info, const JSAMPLE* in, std::uint8_t* out)
{
    const bool inverted = info.saw_Adobe_marker;
    for (JDIMENSION x = 0; x < info.output_width; ++x, in += 4, out += 4) {
        const unsigned k = inverted ? in[3] : 255 - in[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned ink_free = inverted ? in[c] : 255 - in[c];
            out[c] = static_cast<std::uint8_t>((ink_free * k + 127) / 255);
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
    // Grey and colour come out of the library as RGBA already; CMYK is converted here.
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    if (!size_image(image, info.image_width, info.image_height, error))
        return false;
    jpeg_start_decompress(&info);
    row.resize(static_cast<std::size_t>(info.output_width) * 4);
    while (info.output_scanline < info.output_height) {
        std::uint8_t* out = image.pixels.data() + std::size_t(info.output_scanline) * info.output_width * 4;
        JSAMPROW line = cmyk ? row.data() : out;
        jpeg_read_scanlines(&info, &line, 1);
        if (cmyk)
            cmyk_to_rgba(info, row.data(), out);
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
