#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/host/gpu/native_image.h"

namespace kq::host {

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

/// The main image of a decoded image as RGBA: block formats are decompressed, grey is
/// copied to the three colours, CMYK inks are multiplied out, an alpha that means nothing
/// is opaque. The native image is left empty (its bytes may be taken over).
void convert_to_rgba(NativeImage&& native, RgbaImage& image);

/// Decodes a whole image file with `decode_native_image` and converts it to RGBA. False,
/// with `error` set to a short reason, for anything it cannot read; `image` is then
/// unspecified.
bool decode_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error);

}
