#pragma once

// Tiny image files built in memory by the tests of the image decoders, written with the
// libraries themselves (PNG, JPEG) or byte by byte (TGA, DDS, BMP).
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace kq::test {

/// Appends little-endian integers and raw bytes.
class ByteWriter
{
public:
    ByteWriter& u8(unsigned value)
    {
        m_bytes.push_back(static_cast<char>(value));
        return *this;
    }
    ByteWriter& u16(unsigned value) { return u8(value & 0xFF).u8(value >> 8); }
    ByteWriter& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    ByteWriter& bytes(std::initializer_list<unsigned> values)
    {
        for (unsigned v : values)
            u8(v);
        return *this;
    }
    ByteWriter& text(const std::string& text)
    {
        m_bytes += text;
        return *this;
    }
    ByteWriter& fill(std::size_t count, unsigned value)
    {
        m_bytes.append(count, static_cast<char>(value));
        return *this;
    }
    const std::string& str() const { return m_bytes; }

private:
    std::string m_bytes;
};

/// What goes into a PNG: size, colour type and depth, the samples of each row packed as the
/// format stores them (16-bit samples big-endian), for palettes the entries and their
/// alphas, and for grey or colour images a transparent colour (grey, or red, green, blue).
struct PngSpec
{
    int width;
    int height;
    int colour_type;
    int bit_depth;
    std::vector<std::uint8_t> samples;
    std::vector<png_color> palette = {};
    std::vector<std::uint8_t> palette_alpha = {};
    bool interlaced = false;
    std::vector<std::uint16_t> colour_key = {};
};

inline std::string png_file(const PngSpec& spec)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::string out;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("png_file: bad spec");
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), n);
        },
        nullptr);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bit_depth, spec.colour_type,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty())
        png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
    if (!spec.palette_alpha.empty())
        png_set_tRNS(png, info, spec.palette_alpha.data(), static_cast<int>(spec.palette_alpha.size()), nullptr);
    if (!spec.colour_key.empty()) {
        png_color_16 key{};
        key.gray = key.red = spec.colour_key[0];
        if (spec.colour_key.size() == 3)
            key.green = spec.colour_key[1], key.blue = spec.colour_key[2];
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const std::size_t row = png_get_rowbytes(png, info);
    std::vector<std::uint8_t> samples = spec.samples;
    samples.resize(row * spec.height);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < spec.height; ++y)
            png_write_row(png, samples.data() + y * row);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

/// A JPEG of the given colour space (grey, RGB or CMYK samples, interleaved) at top quality.
inline std::string jpeg_file(int width, int height, J_COLOR_SPACE space, const std::vector<std::uint8_t>& samples)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    const std::size_t row = static_cast<std::size_t>(width) * info.input_components;
    std::vector<std::uint8_t> copy = samples;
    copy.resize(row * height);
    while (info.next_scanline < info.image_height) {
        JSAMPROW line = copy.data() + info.next_scanline * row;
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    return out;
}

/// The 128-byte head of a DDS file.
struct DdsSpec
{
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t mip_count = 0;
    std::uint32_t flags = 0x1007;  // caps, height, width, pixel format
    std::uint32_t pixel_flags = 0x4;
    const char* fourcc = "DXT1";
    std::uint32_t bit_count = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // R, G, B, A
    std::uint32_t caps2 = 0;
    std::uint32_t depth = 0;
};

inline std::string dds_header(const DdsSpec& s)
{
    ByteWriter w;
    w.text("DDS ").u32(124).u32(s.flags).u32(s.height).u32(s.width).u32(0).u32(s.depth).u32(s.mip_count);
    w.fill(44, 0);
    w.u32(32).u32(s.pixel_flags).text(std::string(s.fourcc, 4)).u32(s.bit_count);
    for (std::uint32_t mask : s.masks)
        w.u32(mask);
    w.u32(0x1000).u32(s.caps2).u32(0).u32(0).u32(0);
    return w.str();
}

/// The 18-byte head of a TGA file.
struct TgaSpec
{
    unsigned image_type;
    unsigned width;
    unsigned height;
    unsigned depth;
    unsigned descriptor = 0;
    unsigned colour_map_type = 0;
    unsigned colour_map_length = 0;
    unsigned colour_map_depth = 0;
    unsigned id_length = 0;
};

inline std::string tga_header(const TgaSpec& s)
{
    ByteWriter w;
    w.u8(s.id_length).u8(s.colour_map_type).u8(s.image_type).u16(0).u16(s.colour_map_length).u8(s.colour_map_depth);
    w.u16(0).u16(0).u16(s.width).u16(s.height).u8(s.depth).u8(s.descriptor);
    w.fill(s.id_length, 'i');
    return w.str();
}

}
