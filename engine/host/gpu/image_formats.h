#pragma once

// The readers behind `decode_image`, one a format. Each takes the whole file, fills the
// image and returns true, or sets `error` and returns false.
#include "engine/host/gpu/image_decode.h"

namespace kq::host {

bool decode_png_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error);
bool decode_jpeg_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error);
bool decode_dds_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error);
bool decode_bmp_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error);
bool decode_tga_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error);

/// Whether the first bytes look like a TGA header (the format has no signature).
bool looks_like_tga(std::span<const std::uint8_t> file);

/// Whether an image of width x height pixels may be made: false with `error` set for a side
/// of 0 or beyond the device's limits.
bool check_image_size(std::uint64_t width, std::uint64_t height, std::string& error);

/// Sizes the image for width x height pixels (all opaque black) after `check_image_size`.
bool size_image(RgbaImage& image, std::uint64_t width, std::uint64_t height, std::string& error);

/// Little-endian words at p.
inline std::uint32_t le16(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8);
}
inline std::uint32_t le32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

/// A channel value under a bit mask scaled to 0..255; 255 for an empty mask.
std::uint8_t masked_channel(std::uint32_t value, std::uint32_t mask);

}
