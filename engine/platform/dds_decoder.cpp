#include "engine/base/exception.h"
#include "engine/base/stream.h"
#include "engine/host/gpu/dds_header.h"
#include "engine/platform/bitmap.h"

namespace kq {

bool decode_dds(Bitmap& bitmap, Stream& stream)
{
    const std::vector<std::uint8_t> file = read_rest(stream);
    if (file.size() < host::dds_header_size)
        stream.error("unexpected end of buffer.");
    host::NativeImage image;
    std::uint32_t levels = 0;
    std::string error;
    if (!host::read_dds_header(file, image, levels, error))
        return false;
    // The three block formats and five mask layouts.
    if (bitmap_format(image) == BitmapNone) {
        log_error("Unknown format", source_file_name(__FILE__), __LINE__);
        return false;
    }
    // Every level the header announces must be there whole.
    if (!host::decode_dds_image(file, image, error) || image.levels.size() != levels)
        return false;
    take_native_image(bitmap, std::move(image));
    return true;
}

}
