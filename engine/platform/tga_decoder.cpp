#include "engine/base/exception.h"
#include "engine/base/stream.h"
#include "engine/host/gpu/native_image.h"
#include "engine/platform/bitmap.h"

namespace kq {

namespace {

constexpr std::size_t header_size = 18;

// A bitmap takes uncompressed true colour of 24 or 32 bits and 8-bit grey; the two low bits
// of the image type tell the kind, bit 3 run-length encoding.
std::int32_t format_of(unsigned image_type, unsigned depth)
{
    switch (image_type & 3) {
    case 2:
        return depth == 24 ? BGR24 : depth == 32 ? BGRA32 : BitmapNone;
    case 3:
        return depth == 8 ? Gray8 : BitmapNone;
    default:
        return BitmapNone;
    }
}

}

bool decode_tga(Bitmap& bitmap, Stream& stream)
{
    const std::vector<std::uint8_t> file = read_rest(stream);
    if (file.size() < header_size)
        stream.error("unexpected end of buffer.");
    const unsigned image_type = file[2], depth = file[16];
    const std::int32_t format = format_of(image_type, depth);
    if (format == BitmapNone)
        return false;
    if (image_type & 8) {
        log_error("Compressed tga not supported", source_file_name(__FILE__), __LINE__);
        return false;
    }
    host::NativeImage image;
    std::string error;
    if (!host::decode_tga_image(file, image, error) || image.from_palette || bitmap_format(image) != format)
        return false;
    take_native_image(bitmap, std::move(image));
    return true;
}

}
