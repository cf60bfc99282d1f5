#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "engine/base/stream.h"
#include "engine/platform/bitmap.h"

namespace kq {

namespace {

constexpr std::uint32_t chunk_size = 4096;
// Larger sides are refused before anything is allocated: a few header bytes could otherwise
// ask for gigabytes.
constexpr std::uint64_t max_side = 16384;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf exit;
};

struct SourceManager
{
    jpeg_source_mgr base;
    Stream* stream;
    bool start_of_file;
    JOCTET buffer[chunk_size];
};

[[noreturn]] void error_exit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->exit, 1);
}

void output_message(j_common_ptr) {}

void init_source(j_decompress_ptr info)
{
    reinterpret_cast<SourceManager*>(info->src)->start_of_file = true;
}

// The library's standard file source, reading through the engine stream: an empty file is
// the library's error, a file that ends early gets an end-of-image marker and a warning.
boolean fill_input_buffer(j_decompress_ptr info)
{
    SourceManager* source = reinterpret_cast<SourceManager*>(info->src);
    std::uint32_t n = 0;
    try {
        n = source->stream->read(source->buffer, chunk_size);
    } catch (...) {
        n = 0;  // an exception must not unwind through the library
    }
    if (n == 0) {
        if (source->start_of_file)
            ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        n = 2;
    }
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = n;
    source->start_of_file = false;
    return TRUE;
}

void skip_input_data(j_decompress_ptr info, long count)
{
    jpeg_source_mgr* source = info->src;
    if (count <= 0)
        return;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        fill_input_buffer(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void term_source(j_decompress_ptr) {}

// Holds no object with a destructor: a library error jumps back into it.
bool run_decoder(jpeg_decompress_struct& info, ErrorManager& errors, Bitmap& bitmap)
{
    if (setjmp(errors.exit))
        return false;
    jpeg_read_header(&info, TRUE);
    std::int32_t format = BitmapNone;
    if (info.out_color_space == JCS_GRAYSCALE)
        format = Gray8;
    else if (info.out_color_space == JCS_RGB)
        format = RGB24;
    if (format == BitmapNone || info.image_width > max_side || info.image_height > max_side)
        return false;
    jpeg_start_decompress(&info);
    bitmap.allocate(format, static_cast<std::int32_t>(info.output_width), static_cast<std::int32_t>(info.output_height));
    const std::size_t row = static_cast<std::size_t>(info.output_width) * info.output_components;
    while (info.output_scanline < info.output_height) {
        JSAMPROW line = bitmap.data() + info.output_scanline * row;
        jpeg_read_scanlines(&info, &line, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}

bool decode_jpeg(Bitmap& bitmap, Stream& stream)
{
    ErrorManager errors;
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = error_exit;
    errors.base.output_message = output_message;
    if (setjmp(errors.exit))
        return false;
    jpeg_create_decompress(&info);

    SourceManager source{};
    source.base.init_source = init_source;
    source.base.fill_input_buffer = fill_input_buffer;
    source.base.skip_input_data = skip_input_data;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = term_source;
    source.stream = &stream;
    info.src = &source.base;

    bool decoded = false;
    try {
        decoded = run_decoder(info, errors, bitmap);
    } catch (...) {
        jpeg_destroy_decompress(&info);
        throw;
    }
    jpeg_destroy_decompress(&info);
    return decoded;
}

}
