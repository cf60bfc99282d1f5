#pragma once

// The 128-byte header of a DDS file, read once for every reader of the format.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "engine/host/gpu/native_image.h"

namespace kq::host {

inline constexpr std::size_t dds_header_size = 128;

/// Reads the header at the start of a DDS file into `image` (format, masks, alpha and size;
/// no bytes) and `levels`, the mip levels it announces after the main image. False, with
/// `error` set, for a file that ends inside the header, lacks the signature, holds a cube map
/// or a volume texture, or an image without pixels or too large. A pixel format the readers
/// do not take leaves `image.format` at `none`, with `error` saying why.
bool read_dds_header(std::span<const std::uint8_t> file, NativeImage& image, std::uint32_t& levels,
                     std::string& error);

}
