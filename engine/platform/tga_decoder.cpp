#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/platform/bitmap.h"

namespace kq {

namespace {

std::uint16_t read_u16(Stream& stream)
{
    const std::uint8_t low = read_u8(stream);
    return static_cast<std::uint16_t>(low | (read_u8(stream) << 8));
}

struct TgaHeader
{
    std::uint8_t id_length;
    std::uint8_t image_type;
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t depth;
    std::uint8_t descriptor;
};

TgaHeader read_header(Stream& stream)
{
    TgaHeader header{};
    header.id_length = read_u8(stream);
    read_u8(stream);  // colour map type
    header.image_type = read_u8(stream);
    read_u16(stream);  // colour map first entry
    read_u16(stream);  // colour map length
    read_u8(stream);   // colour map entry size
    read_u16(stream);  // x origin
    read_u16(stream);  // y origin
    header.width = read_u16(stream);
    header.height = read_u16(stream);
    header.depth = read_u8(stream);
    header.descriptor = read_u8(stream);
    return header;
}

std::int32_t format_of(const TgaHeader& header)
{
    switch (header.image_type & 3) {
    case 2:
        return header.depth == 24 ? BGR24 : header.depth == 32 ? BGRA32 : BitmapNone;
    case 3:
        return header.depth == 8 ? Gray8 : BitmapNone;
    default:
        return BitmapNone;
    }
}

}

bool decode_tga(Bitmap& bitmap, Stream& stream)
{
    const TgaHeader header = read_header(stream);
    stream.seek(header.id_length, seek_current);

    const std::int32_t format = format_of(header);
    if (format == BitmapNone)
        return false;
    if (header.image_type & 8) {
        log_error("Compressed tga not supported", source_file_name(__FILE__), __LINE__);
        return false;
    }
    // A header may claim up to 65535 x 65535 pixels: nothing is allocated for more pixels
    // than the file holds.
    if (Bitmap::data_size(format, header.width, header.height) > bytes_left(stream))
        return false;
    bitmap.allocate(format, header.width, header.height);

    std::uint8_t* data = bitmap.data();
    if (header.descriptor & 0x20) {
        if (stream.read(data, bitmap.size_bytes()) != bitmap.size_bytes())
            return false;
    } else {
        const std::uint32_t row = static_cast<std::uint32_t>(bitmap.width() * bitmap.bpp());
        for (std::int32_t i = 0; i < bitmap.height(); ++i) {
            const std::size_t target = static_cast<std::size_t>(bitmap.height() - 1 - i) * row;
            if (stream.read(data + target, row) != row)
                return false;
        }
    }
    if (header.descriptor & 0x10)
        bitmap.flip(2);
    return true;
}

}
