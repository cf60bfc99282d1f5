#pragma once

#include <string>
#include <vector>

#include "engine/base/buffer.h"
#include "engine/base/stream.h"
#include "engine/platform/bitmap.h"

namespace kq::test {

/// Decodes the bytes as a file of this extension into the bitmap.
inline bool decode_bytes(Bitmap& bitmap, const std::string& extension, const std::string& bytes)
{
    StringBuffer buffer(bytes);
    Stream stream(buffer);
    return bitmap.decode(extension, stream);
}

/// The bitmap's main image as a list of bytes.
inline std::vector<std::uint8_t> pixels(const Bitmap& bitmap)
{
    return {bitmap.data(), bitmap.data() + bitmap.size_bytes()};
}

}
