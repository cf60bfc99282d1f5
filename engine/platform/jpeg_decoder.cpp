#include "engine/base/stream.h"
#include "engine/host/gpu/native_image.h"
#include "engine/platform/bitmap.h"

namespace kq {

bool decode_jpeg(Bitmap& bitmap, Stream& stream)
{
    const std::vector<std::uint8_t> file = read_rest(stream);
    host::NativeImage image;
    std::string error;
    // Grey and colour files are taken; CMYK ones are not.
    if (!host::decode_jpeg_image(file, image, error) || bitmap_format(image) == BitmapNone)
        return false;
    take_native_image(bitmap, std::move(image));
    return true;
}

}
