#include "engine/platform/bitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "engine/base/exception.h"
#include "engine/base/stream.h"
#include "engine/host/gpu/native_image.h"
#include "engine/host/system/assert.h"

namespace kq {

namespace {

// "The image cannot be flipped", in the Windows-1251 code page of the original message.
constexpr const char* cannot_flip =
    "\xcd\xe5\xe2\xee\xe7\xec\xee\xe6\xed\xee \xef\xe5\xf0\xe5\xe2\xe5\xf0\xed\xf3\xf2\xfc "
    "\xe8\xe7\xee\xe1\xf0\xe0\xe6\xe5\xed\xe8\xe5";

}

std::int32_t Bitmap::bytes_per_pixel(std::int32_t format)
{
    switch (format) {
    case Gray8:
        return 1;
    case BGR24:
    case RGB24:
        return 3;
    case BGRA32:
    case RGBA32:
        return 4;
    case DXT1a:
    case DXT1:
    case DXT3:
    case DXT5:
        return 0;
    case RGB565:
    case ARGB4444:
    case ARGB1555:
        return 2;
    default:
        log_error("Unknown format", source_file_name(__FILE__), __LINE__);
        return 0;
    }
}

std::uint64_t Bitmap::data_size(std::int32_t format, std::int32_t width, std::int32_t height)
{
    const std::uint64_t w = static_cast<std::uint64_t>(std::max(width, 0));
    const std::uint64_t h = static_cast<std::uint64_t>(std::max(height, 0));
    const std::uint64_t blocks = ((w + 3) / 4) * ((h + 3) / 4);
    switch (format) {
    case DXT1a:
    case DXT1:
        return blocks * 8;
    case DXT3:
    case DXT5:
        return blocks * 16;
    default:
        return w * h * static_cast<std::uint64_t>(bytes_per_pixel(format));
    }
}

std::uint64_t Bitmap::total_size() const
{
    std::uint64_t total = m_size_bytes;
    for (const BitmapLevel& level : m_levels)
        total += level.size;
    return total;
}

void Bitmap::set_layout(std::int32_t format, std::int32_t width, std::int32_t height)
{
    m_data.clear();
    const std::uint64_t size = data_size(format, width, height);
    if (size > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    m_size_bytes = static_cast<std::uint32_t>(size);
    m_bpp = bytes_per_pixel(format);
    m_format = format;
    m_width = width;
    m_height = height;
}

void Bitmap::point_levels()
{
    for (BitmapLevel& level : m_levels)
        level.data = m_data.data() + level.offset;
}

bool Bitmap::allocate(std::int32_t format, std::int32_t width, std::int32_t height)
{
    set_layout(format, width, height);
    const std::uint64_t total = total_size();
    if (total > std::numeric_limits<std::size_t>::max() / 2)
        throw std::bad_alloc();
    m_data.resize(static_cast<std::size_t>(total));
    point_levels();
    return true;
}

void Bitmap::adopt(std::int32_t format, std::int32_t width, std::int32_t height, const std::vector<BitmapLevel>& levels,
                   std::vector<std::uint8_t>&& data)
{
    m_levels = levels;
    set_layout(format, width, height);
    KQ_ASSERT(data.size() == total_size());
    m_data = std::move(data);
    point_levels();
}

bool Bitmap::create(std::int32_t format, std::int32_t width, std::int32_t height,
                    const std::vector<BitmapLevel>& levels)
{
    m_levels = levels;
    return allocate(format, width, height);
}

void Bitmap::flip(std::uint32_t flags)
{
    if ((flags & 3) == 0)
        return;
    if (m_bpp == 0) {
        log_error(cannot_flip, source_file_name(__FILE__), __LINE__);
        return;
    }
    const std::size_t pixel = static_cast<std::size_t>(m_bpp);
    const std::size_t row = pixel * static_cast<std::size_t>(m_width);
    std::uint8_t* data = m_data.data();
    if (flags & 1) {
        for (std::int32_t top = 0, bottom = m_height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(data + top * row, data + (top + 1) * row, data + bottom * row);
    }
    if (flags & 2) {
        for (std::int32_t y = 0; y < m_height; ++y) {
            std::uint8_t* line = data + y * row;
            for (std::int32_t left = 0, right = m_width - 1; left < right; ++left, --right)
                std::swap_ranges(line + left * pixel, line + (left + 1) * pixel, line + right * pixel);
        }
    }
}

bool Bitmap::decode(const std::string& extension, Stream& stream)
{
    if (extension == "tga")
        return decode_tga(*this, stream);
    if (extension == "jpg")
        return decode_jpeg(*this, stream);
    if (extension == "dds")
        return decode_dds(*this, stream);
    if (extension == "png")
        return decode_png(*this, stream);
    return false;
}

std::vector<std::uint8_t> read_rest(Stream& stream)
{
    const std::int64_t left = static_cast<std::int64_t>(stream.size()) - stream.tell();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(left, 0)));
    bytes.resize(stream.read(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    return bytes;
}

std::int32_t bitmap_format(const host::NativeImage& image)
{
    using host::PixelFormat;
    switch (image.format) {
    case PixelFormat::gray8:
        return Gray8;
    case PixelFormat::bgr24:
        return BGR24;
    case PixelFormat::rgb24:
        return RGB24;
    case PixelFormat::bgra32:
        return BGRA32;
    case PixelFormat::rgba32:
        return RGBA32;
    case PixelFormat::dxt1:
        return DXT1;
    case PixelFormat::dxt3:
        return DXT3;
    case PixelFormat::dxt5:
        return DXT5;
    case PixelFormat::rgb565:
        return RGB565;
    case PixelFormat::argb4444:
        return ARGB4444;
    case PixelFormat::argb1555:
        return ARGB1555;
    default:
        return BitmapNone;
    }
}

void take_native_image(Bitmap& bitmap, host::NativeImage&& image)
{
    std::vector<BitmapLevel> levels;
    for (const host::ImageLevel& level : image.levels)
        levels.push_back({nullptr, level.offset, level.size, level.width, level.height});
    bitmap.adopt(bitmap_format(image), image.width, image.height, levels, std::move(image.bytes));
}

}
