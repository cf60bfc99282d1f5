#pragma once

#include <string>
#include <vector>

#include "engine/host/gpu/image_decode.h"

namespace kq::test {

using Rgba = std::vector<std::uint8_t>;

/// What `decode_image` made of a file: the image, or the error text (empty on success).
struct Decoded
{
    host::RgbaImage image;
    std::string error;
    bool ok;
};

inline Decoded decode_file(const std::string& bytes)
{
    Decoded decoded;
    decoded.ok = host::decode_image({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
                                    decoded.image, decoded.error);
    return decoded;
}

}
