#include "engine/host/gpu/image_decode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "engine/host/gpu/dxt.h"
#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

DxtFormat dxt_format(PixelFormat format)
{
    return format == PixelFormat::dxt1 ? DxtFormat::dxt1 : format == PixelFormat::dxt3 ? DxtFormat::dxt3 : DxtFormat::dxt5;
}

// Decompresses the main image's blocks into the image's pixels.
void convert_blocks(const NativeImage& native, RgbaImage& image)
{
    const DxtFormat format = dxt_format(native.format);
    const std::size_t width = native.width, height = native.height;
    const std::size_t across = (width + 3) / 4, down = (height + 3) / 4;
    image.pixels.resize(width * height * 4);
    std::uint8_t block[64];
    for (std::size_t by = 0; by < down; ++by) {
        for (std::size_t bx = 0; bx < across; ++bx) {
            decode_dxt_block(format, native.bytes.data() + (by * across + bx) * dxt_block_size(format), block);
            // Blocks over the right or bottom edge keep only the pixels inside the image.
            for (std::size_t y = by * 4; y < std::min(by * 4 + 4, height); ++y)
                for (std::size_t x = bx * 4; x < std::min(bx * 4 + 4, width); ++x)
                    std::memcpy(image.pixels.data() + (y * width + x) * 4, block + ((y % 4) * 4 + x % 4) * 4, 4);
        }
    }
}

using Rgba = std::array<std::uint8_t, 4>;

// Widens the main image to RGBA in its own buffer: `convert` reads a stored pixel and gives
// its RGBA. Pixels take at most 4 bytes, so going from the last one back, each is read
// before anything is written over it.
template <class Convert>
void widen_in_place(NativeImage& native, Convert convert)
{
    const std::size_t size = bytes_per_pixel(native.format, native.masks);
    const std::size_t count = std::size_t(native.width) * native.height;
    native.bytes.resize(count * 4);
    std::uint8_t* bytes = native.bytes.data();
    for (std::size_t i = count; i-- > 0;) {
        const Rgba rgba = convert(bytes + i * size);
        std::memcpy(bytes + i * 4, rgba.data(), 4);
    }
}

void widen_masked(NativeImage& native, const PixelMasks& m)
{
    const bool colours = m.red | m.green | m.blue;  // none: alpha alone, over black
    const bool alpha = native.has_alpha;
    widen_in_place(native, [&](const std::uint8_t* p) {
        std::uint32_t v = 0;
        for (std::uint32_t k = 0; k < m.bits / 8; ++k)
            v |= std::uint32_t(p[k]) << (8 * k);
        return Rgba{colours ? masked_channel(v, m.red) : std::uint8_t(0), colours ? masked_channel(v, m.green) : std::uint8_t(0),
                    colours ? masked_channel(v, m.blue) : std::uint8_t(0), alpha ? masked_channel(v, m.alpha) : std::uint8_t(255)};
    });
}

// The commonest layout (every colour JPEG), four pixels at a time: three words read, four
// written, each word's bytes in memory order (little-endian).
void widen_rgb24(NativeImage& native)
{
    static_assert(std::endian::native == std::endian::little);
    const std::size_t count = std::size_t(native.width) * native.height;
    native.bytes.resize(count * 4);
    std::uint8_t* bytes = native.bytes.data();
    constexpr std::uint32_t opaque = 0xFF000000;
    std::size_t i = count;
    for (; i % 4; --i) {
        const Rgba rgba{bytes[(i - 1) * 3], bytes[(i - 1) * 3 + 1], bytes[(i - 1) * 3 + 2], 255};
        std::memcpy(bytes + (i - 1) * 4, rgba.data(), 4);
    }
    for (; i > 0; i -= 4) {
        std::uint32_t in[3];
        std::memcpy(in, bytes + (i - 4) * 3, 12);
        const std::uint32_t out[4] = {in[0] | opaque, (in[0] >> 24) | (in[1] << 8) | opaque,
                                      (in[1] >> 16) | (in[2] << 16) | opaque, (in[2] >> 8) | opaque};
        std::memcpy(bytes + (i - 4) * 4, out, 16);
    }
}

void widen(NativeImage& native)
{
    const bool alpha = native.has_alpha;
    switch (native.format) {
    case PixelFormat::gray8:
        return widen_in_place(native, [](const std::uint8_t* p) { return Rgba{p[0], p[0], p[0], 255}; });
    case PixelFormat::gray_alpha16:
        return widen_in_place(native, [alpha](const std::uint8_t* p) {
            return Rgba{p[0], p[0], p[0], alpha ? p[1] : std::uint8_t(255)};
        });
    case PixelFormat::rgb24:
        return widen_rgb24(native);
    case PixelFormat::rgba32:
        return widen_in_place(native, [alpha](const std::uint8_t* p) {
            return Rgba{p[0], p[1], p[2], alpha ? p[3] : std::uint8_t(255)};
        });
    case PixelFormat::bgr24:
        return widen_in_place(native, [](const std::uint8_t* p) { return Rgba{p[2], p[1], p[0], 255}; });
    case PixelFormat::bgra32:
        return widen_in_place(native, [alpha](const std::uint8_t* p) {
            return Rgba{p[2], p[1], p[0], alpha ? p[3] : std::uint8_t(255)};
        });
    case PixelFormat::cmyk32:
        return widen_in_place(native, [](const std::uint8_t* p) {
            auto ink_free = [p](int c) { return static_cast<std::uint8_t>((p[c] * p[3] + 127) / 255); };
            return Rgba{ink_free(0), ink_free(1), ink_free(2), 255};
        });
    case PixelFormat::rgb565:
        return widen_masked(native, {16, 0xF800, 0x07E0, 0x001F, 0});
    case PixelFormat::argb4444:
        return widen_masked(native, {16, 0x0F00, 0x00F0, 0x000F, 0xF000});
    case PixelFormat::argb1555:
        return widen_masked(native, {16, 0x7C00, 0x03E0, 0x001F, 0x8000});
    case PixelFormat::masked:
        return widen_masked(native, native.masks);
    default:
        return;
    }
}

}

void convert_to_rgba(NativeImage&& native, RgbaImage& image)
{
    image.width = native.width;
    image.height = native.height;
    image.has_alpha = native.has_alpha;
    if (native.format == PixelFormat::dxt1 || native.format == PixelFormat::dxt3 || native.format == PixelFormat::dxt5) {
        convert_blocks(native, image);
    } else {
        widen(native);
        image.pixels = std::move(native.bytes);
    }
    native = NativeImage();
}

bool decode_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error)
{
    image = RgbaImage();
    NativeImage native;
    if (!decode_native_image(file, native, error))
        return false;
    convert_to_rgba(std::move(native), image);
    return true;
}

std::uint8_t masked_channel(std::uint32_t value, std::uint32_t mask)
{
    if (mask == 0)
        return 255;
    const int shift = std::countr_zero(mask);
    const std::uint64_t max = mask >> shift;
    const std::uint64_t channel = (value & mask) >> shift;
    return static_cast<std::uint8_t>((channel * 255 + max / 2) / max);
}

}
