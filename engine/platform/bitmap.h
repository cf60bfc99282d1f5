#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/type_name.h"
#include "engine/res/resource.h"

namespace kq {

class Stream;

namespace host {
struct NativeImage;
}

/// Pixel format codes of a `Bitmap`. Rows are stored top row first with no padding; the
/// name gives the bytes of one pixel in memory order.
enum BitmapFormat : std::int32_t {
    BitmapNone = 0,
    Gray8 = 1,      ///< one grey (or single-channel) byte
    BGR24 = 2,
    RGB24 = 3,
    BGRA32 = 4,
    RGBA32 = 5,
    DXT1a = 6,      ///< 4x4 blocks of 8 bytes
    DXT1 = 7,       ///< 4x4 blocks of 8 bytes
    DXT3 = 8,       ///< 4x4 blocks of 16 bytes
    DXT5 = 9,       ///< 4x4 blocks of 16 bytes
    RGB565 = 10,    ///< little-endian word, R 0xF800, G 0x07E0, B 0x001F
    ARGB4444 = 11,  ///< little-endian word, A 0xF000, R 0x0F00, G 0x00F0, B 0x000F
    ARGB1555 = 12,  ///< little-endian word, A 0x8000, R 0x7C00, G 0x03E0, B 0x001F
};

/// One smaller mip level stored after the main image in the bitmap's buffer.
struct BitmapLevel
{
    std::uint8_t* data = nullptr;  ///< into the bitmap's buffer; set by `Bitmap::allocate`
    std::uint32_t offset = 0;      ///< from the start of the buffer
    std::uint32_t size = 0;        ///< bytes of this level
    std::int32_t width = 0;
    std::int32_t height = 0;
};

/// A decoded image in memory: one pixel format, one buffer holding the main image followed by
/// its mip levels (DDS only). Decoders keep the file's own pixel format.
class Bitmap : public Resource
{
public:
    /// No format, no size, no data, no levels.
    Bitmap() = default;

    /// Bytes per pixel of a format: 0 for block-compressed ones; an unknown code logs
    /// "Unknown format" to the error log and gives 0.
    static std::int32_t bytes_per_pixel(std::int32_t format);
    /// Bytes of one image of this format and size (whole 4x4 blocks for DXT formats), in 64
    /// bits so that no header can make it wrap; 0 for an unknown format (logged).
    static std::uint64_t data_size(std::int32_t format, std::int32_t width, std::int32_t height);

    /// The main image's size plus the size of every level.
    std::uint64_t total_size() const;
    /// Drops the old buffer, takes the format and size and allocates `total_size` bytes
    /// (contents undefined), pointing every level into it. The levels must be set first.
    /// A buffer that cannot be held throws `std::bad_alloc`.
    bool allocate(std::int32_t format, std::int32_t width, std::int32_t height);
    /// Replaces the levels by a copy of `levels`, then `allocate`.
    bool create(std::int32_t format, std::int32_t width, std::int32_t height, const std::vector<BitmapLevel>& levels);
    /// Takes the format, size and levels and the buffer `data`, which holds `total_size`
    /// bytes, without copying it.
    void adopt(std::int32_t format, std::int32_t width, std::int32_t height, const std::vector<BitmapLevel>& levels,
               std::vector<std::uint8_t>&& data);
    /// Flag 1 reverses the row order, flag 2 the pixels of each row. A block-compressed
    /// bitmap cannot be flipped: logged to the error log, pixels unchanged.
    void flip(std::uint32_t flags);

    /// Decodes the stream by the lower-case file extension: "tga", "jpg", "dds" or "png";
    /// any other extension gives false without reading. A truncated TGA or DDS header throws
    /// the stream's "unexpected end of buffer.".
    bool decode(const std::string& extension, Stream& stream);

    std::int32_t format() const { return m_format; }
    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }
    /// Bytes per pixel of the format; 0 for block-compressed ones.
    std::int32_t bpp() const { return m_bpp; }
    /// Bytes of the main image alone.
    std::uint32_t size_bytes() const { return m_size_bytes; }
    /// The buffer: the main image, then every level; null until allocated.
    std::uint8_t* data() { return m_data.empty() ? nullptr : m_data.data(); }
    const std::uint8_t* data() const { return m_data.empty() ? nullptr : m_data.data(); }
    /// The further mip levels, largest first.
    const std::vector<BitmapLevel>& levels() const { return m_levels; }

private:
    /// Sets the format and size; drops the buffer.
    void set_layout(std::int32_t format, std::int32_t width, std::int32_t height);
    /// Points every level into the buffer.
    void point_levels();

    std::vector<std::uint8_t> m_data;
    std::uint32_t m_size_bytes = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::vector<BitmapLevel> m_levels;
    std::int32_t m_format = BitmapNone;
    std::int32_t m_bpp = 0;
};

/// Fill a freshly constructed bitmap from the stream's position; true on success, false for
/// a file of a kind they do not read or whose data is damaged or short. Each reads the rest
/// of the stream and decodes it with the host layer's reader of its format, keeping only the
/// pixel formats a bitmap holds.
bool decode_tga(Bitmap& bitmap, Stream& stream);
bool decode_jpeg(Bitmap& bitmap, Stream& stream);
bool decode_dds(Bitmap& bitmap, Stream& stream);
bool decode_png(Bitmap& bitmap, Stream& stream);

/// The bytes from the stream's position to its end.
std::vector<std::uint8_t> read_rest(Stream& stream);
/// The bitmap format of a decoded image's pixel layout; `BitmapNone` for a layout no bitmap
/// holds.
std::int32_t bitmap_format(const host::NativeImage& image);
/// Gives the bitmap the decoded image: its format, size, levels and bytes (taken over).
void take_native_image(Bitmap& bitmap, host::NativeImage&& image);

}

KQ_TYPE_NAME(kq::Bitmap, "class kq::Bitmap");
