#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kq::host {

/// The largest side and pixel count of an image the decoders read; larger headers are
/// refused before anything is allocated.
inline constexpr std::uint32_t max_image_side = 16384;
inline constexpr std::uint64_t max_image_pixels = std::uint64_t(1) << 26;

/// How a decoded image stores its pixels, as the file held them. The names give the bytes
/// of one pixel in memory order; 16-bit layouts are little-endian words.
enum class PixelFormat {
    none,
    gray8,
    gray_alpha16,  ///< grey, alpha
    rgb24,
    rgba32,
    bgr24,
    bgra32,
    cmyk32,    ///< cyan, magenta, yellow, black, each 255 minus its ink
    rgb565,    ///< R 0xF800, G 0x07E0, B 0x001F
    argb4444,  ///< A 0xF000, R 0x0F00, G 0x00F0, B 0x000F
    argb1555,  ///< A 0x8000, R 0x7C00, G 0x03E0, B 0x001F
    masked,    ///< words of `PixelMasks::bits`, each channel under its mask
    dxt1,      ///< 4x4 blocks of 8 bytes
    dxt3,      ///< 4x4 blocks of 16 bytes
    dxt5,      ///< 4x4 blocks of 16 bytes
};

/// Where the channels of a `masked` pixel lie. Grey images give the same mask to the three
/// colours; an image without any colour mask holds alpha alone (its colours are black).
struct PixelMasks
{
    std::uint32_t bits = 0;  ///< 8, 16, 24 or 32
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 0;
};

/// A smaller mip level stored after the main image.
struct ImageLevel
{
    std::uint32_t offset = 0;  ///< from the start of `NativeImage::bytes`
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

/// An image decoded without converting its pixels: top row first, no padding between rows.
struct NativeImage
{
    PixelFormat format = PixelFormat::none;
    PixelMasks masks;  ///< `masked` only
    std::int32_t width = 0;
    std::int32_t height = 0;
    /// Whether the stored alpha (channel, bit or mask) means transparency; when false an
    /// alpha the layout has is to be read as opaque.
    bool has_alpha = false;
    /// The file stored palette indices; the pixels here are the palette's entries.
    bool from_palette = false;
    /// The file stored colours and a transparent colour; the alpha here was made from it.
    bool alpha_from_key = false;
    /// The main image followed by every level.
    std::vector<std::uint8_t> bytes;
    /// The further mip levels (DDS only), largest first.
    std::vector<ImageLevel> levels;
};

/// Bytes of one pixel of a format; 0 for block-compressed ones.
std::uint32_t bytes_per_pixel(PixelFormat format, const PixelMasks& masks = {});

/// Bytes of one image of this format and size (whole 4x4 blocks for DXT formats).
std::uint64_t image_bytes(PixelFormat format, const PixelMasks& masks, std::uint64_t width, std::uint64_t height);

/// Decodes a whole image file of any kind this layer reads, chosen by its content, not its
/// name: PNG (every colour type and depth), JPEG (grey, colour, CMYK), DDS (DXT1, DXT3, DXT5
/// and uncompressed masks, with mip levels), BMP (1 to 32 bits, uncompressed) and TGA (true
/// colour, grey, colour-mapped, run-length encoded). False, with `error` set to a short
/// reason, for anything it cannot read; `image` is then unspecified.
bool decode_native_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error);

/// The readers behind `decode_native_image`, one a format, for callers that choose the
/// format themselves. Each takes the whole file.
bool decode_png_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error);
bool decode_jpeg_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error);
bool decode_dds_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error);
bool decode_bmp_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error);
bool decode_tga_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error);

}
