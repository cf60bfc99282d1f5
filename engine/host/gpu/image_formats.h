#pragma once

// Helpers shared by the image readers behind `decode_native_image`.
#include "engine/host/gpu/native_image.h"

namespace kq::host {

/// Whether the first bytes look like a TGA header (the format has no signature).
bool looks_like_tga(std::span<const std::uint8_t> file);

/// Whether an image of width x height pixels may be made: false with `error` set for a side
/// of 0 or beyond the limits.
bool check_image_size(std::uint64_t width, std::uint64_t height, std::string& error);

/// Gives the image its format and size and its main image (zeroed), with room to widen it
/// to RGBA, after `check_image_size`.
bool size_native_image(NativeImage& image, PixelFormat format, std::uint64_t width, std::uint64_t height,
                       std::string& error);

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
