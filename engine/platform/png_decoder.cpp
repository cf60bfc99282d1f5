#include <cstring>

#include "engine/base/stream.h"
#include "engine/host/gpu/native_image.h"
#include "engine/platform/bitmap.h"

namespace kq {

namespace {

// A bitmap keeps a PNG's colours only: the alpha the decoder made from a transparent colour
// is dropped again.
void drop_alpha(host::NativeImage& image)
{
    const std::size_t count = std::size_t(image.width) * image.height;
    for (std::size_t i = 0; i < count; ++i)
        std::memmove(image.bytes.data() + i * 3, image.bytes.data() + i * 4, 3);
    image.bytes.resize(count * 3);
    image.format = host::PixelFormat::rgb24;
}

}

bool decode_png(Bitmap& bitmap, Stream& stream)
{
    const std::vector<std::uint8_t> file = read_rest(stream);
    host::NativeImage image;
    std::string error;
    // Palette images are refused; grey arrives as RGB, 16-bit samples as their high byte.
    if (!host::decode_png_image(file, image, error) || image.from_palette)
        return false;
    if (image.alpha_from_key)
        drop_alpha(image);
    take_native_image(bitmap, std::move(image));
    return true;
}

}
