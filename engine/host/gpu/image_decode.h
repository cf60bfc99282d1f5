#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kq::host {

/// The largest side and pixel count of an image the device is given; larger headers are
/// refused before anything is allocated.
inline constexpr std::uint32_t max_image_side = 16384;
inline constexpr std::uint64_t max_image_pixels = std::uint64_t(1) << 26;

/// An image ready for the device: 4 bytes a pixel in the order red, green, blue, alpha, top
/// row first, no padding between rows.
struct RgbaImage
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    /// Whether the file stores transparency (an alpha channel, transparent palette entries or
    /// a colour key); without it every alpha byte is 255.
    bool has_alpha = false;
    std::vector<std::uint8_t> pixels;
};

/// Decodes a whole image file of any kind the device reads, chosen by its content, not its
/// name: PNG (every colour type and depth), JPEG (grey, colour, CMYK), DDS (level 0 of DXT1,
/// DXT3, DXT5 and uncompressed masks), BMP (1 to 32 bits, uncompressed) and TGA
/// (true colour, grey, colour-mapped, run-length encoded). False, with `error` set to a short
/// reason, for anything it cannot read; `image` is then unspecified.
bool decode_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error);

}
