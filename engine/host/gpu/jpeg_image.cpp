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

PixelFormat format_of(J_COLOR_SPACE space)
{
    switch (space) {
    case JCS_GRAYSCALE:
        return PixelFormat::gray8;
    case JCS_RGB:
        return PixelFormat::rgb24;
    case JCS_CMYK:
        return PixelFormat::cmyk32;
    default:
        return PixelFormat::none;
    }
}

// Files written without an Adobe marker store their inks plainly (255 is full ink); image
// editors write the marker and store them inverted, the layout kept here.
void invert_inks(std::uint8_t* row, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i)
        row[i] = static_cast<std::uint8_t>(255 - row[i]);
}

// Holds no object with a destructor: a library error jumps back into it.
bool run_decoder(jpeg_decompress_struct& info, ErrorManager& errors, std::span<const std::uint8_t> file,
                 NativeImage& image, std::string& error)
{
    if (setjmp(errors.exit))
        return false;
    // An empty file is the library's error already here.
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    // The library's own choice of output: grey, RGB, or CMYK (from CMYK and YCCK files).
    const PixelFormat format = format_of(info.out_color_space);
    if (format == PixelFormat::none) {
        error = "JPEG: unsupported colour space";
        return false;
    }
    if (!size_native_image(image, format, info.image_width, info.image_height, error))
        return false;
    jpeg_start_decompress(&info);
    const std::size_t stride = std::size_t(info.output_width) * bytes_per_pixel(format);
    while (info.output_scanline < info.output_height) {
        JSAMPROW line = image.bytes.data() + std::size_t(info.output_scanline) * stride;
        jpeg_read_scanlines(&info, &line, 1);
        if (format == PixelFormat::cmyk32 && !info.saw_Adobe_marker)
            invert_inks(line, stride);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}

bool decode_jpeg_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error)
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
    bool decoded = false;
    try {
        decoded = run_decoder(info, errors, file, image, error);
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
