// Decoding speed of a 1024 x 1024 PNG (RGBA) and JPEG (RGB) through the engine's two paths
// (the bitmap decoders over an engine stream, the host layer's RGBA texture decoder) beside
// the bare library reading the same file into memory without any conversion: compare each
// path's time with its library's.
#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstring>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/buffer.h"
#include "engine/base/stream.h"
#include "engine/host/gpu/image_decode.h"
#include "engine/platform/bitmap.h"
#include "tests/host/gpu/image_files.h"

namespace {

constexpr int side = 1024;

// A picture rather than noise or a flat fill: smooth gradients, circles and a little grain,
// so that both compressors work as they do on game art.
std::vector<std::uint8_t> picture(int channels)
{
    std::vector<std::uint8_t> samples(std::size_t(side) * side * channels);
    std::uint32_t grain = 12345;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            grain = grain * 214013 + 2531011;
            const int dx = x % 256 - 128, dy = y % 256 - 128;
            const bool inside = dx * dx + dy * dy < 90 * 90;
            std::uint8_t* p = samples.data() + (std::size_t(y) * side + x) * channels;
            p[0] = static_cast<std::uint8_t>(inside ? 220 : x / 4);
            p[1] = static_cast<std::uint8_t>(y / 4 + ((grain >> 16) & 7));
            p[2] = static_cast<std::uint8_t>(inside ? 40 : (x + y) / 8);
            if (channels == 4)
                p[3] = static_cast<std::uint8_t>(inside ? 255 : 255 - dx * dx / 64);
        }
    }
    return samples;
}

const std::string& png()
{
    static const std::string file = kq::test::png_file({side, side, PNG_COLOR_TYPE_RGB_ALPHA, 8, picture(4)});
    return file;
}

const std::string& jpeg()
{
    static const std::string file = kq::test::jpeg_file(side, side, JCS_RGB, picture(3));
    return file;
}

void bitmap_decode(benchmark::State& state, const std::string& file, const char* extension)
{
    kq::StringBuffer buffer(file);
    for (auto _ : state) {
        buffer.seek(0, kq::seek_begin);
        kq::Stream stream(buffer);
        kq::Bitmap bitmap;
        if (!bitmap.decode(extension, stream))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(bitmap.data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(side) * side);
}

void texture_decode(benchmark::State& state, const std::string& file)
{
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    for (auto _ : state) {
        kq::host::RgbaImage image;
        std::string error;
        if (!kq::host::decode_image(bytes, image, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(side) * side);
}

// The reference: libpng reading the file from memory into rows, no transform.
void libpng_alone(benchmark::State& state)
{
    struct Input {
        const std::string* file;
        std::size_t position;
    };
    std::vector<std::uint8_t> pixels(std::size_t(side) * side * 4);
    std::vector<png_bytep> rows(side);
    for (int y = 0; y < side; ++y)
        rows[y] = pixels.data() + std::size_t(y) * side * 4;
    for (auto _ : state) {
        Input input{&png(), 0};
        png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(reader);
        if (setjmp(png_jmpbuf(reader)))
            state.SkipWithError("libpng failed");
        png_set_read_fn(reader, &input, [](png_structp p, png_bytep out, png_size_t n) {
            Input* in = static_cast<Input*>(png_get_io_ptr(p));
            std::memcpy(out, in->file->data() + in->position, n);
            in->position += n;
        });
        png_read_info(reader, info);
        png_read_image(reader, rows.data());
        png_read_end(reader, nullptr);
        png_destroy_read_struct(&reader, &info, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(side) * side);
}

// The reference: libjpeg reading the file from memory into RGB rows.
void libjpeg_alone(benchmark::State& state)
{
    std::vector<std::uint8_t> pixels(std::size_t(side) * side * 3);
    for (auto _ : state) {
        jpeg_decompress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg().data()), jpeg().size());
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels.data() + std::size_t(info.output_scanline) * side * 3;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(side) * side);
}

BENCHMARK(libpng_alone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bitmap_decode, png, png(), "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(texture_decode, png, png())->Unit(benchmark::kMillisecond);
BENCHMARK(libjpeg_alone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(bitmap_decode, jpeg, jpeg(), "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(texture_decode, jpeg, jpeg())->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
