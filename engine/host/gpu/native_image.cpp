#include "engine/host/gpu/native_image.h"

#include <cstring>

#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

bool starts_with(std::span<const std::uint8_t> file, const char* signature, std::size_t length)
{
    return file.size() >= length && std::memcmp(file.data(), signature, length) == 0;
}

}

std::uint32_t bytes_per_pixel(PixelFormat format, const PixelMasks& masks)
{
    switch (format) {
    case PixelFormat::gray8:
        return 1;
    case PixelFormat::gray_alpha16:
    case PixelFormat::rgb565:
    case PixelFormat::argb4444:
    case PixelFormat::argb1555:
        return 2;
    case PixelFormat::rgb24:
    case PixelFormat::bgr24:
        return 3;
    case PixelFormat::rgba32:
    case PixelFormat::bgra32:
    case PixelFormat::cmyk32:
        return 4;
    case PixelFormat::masked:
        return masks.bits / 8;
    default:
        return 0;
    }
}

std::uint64_t image_bytes(PixelFormat format, const PixelMasks& masks, std::uint64_t width, std::uint64_t height)
{
    const std::uint64_t blocks = ((width + 3) / 4) * ((height + 3) / 4);
    switch (format) {
    case PixelFormat::dxt1:
        return blocks * 8;
    case PixelFormat::dxt3:
    case PixelFormat::dxt5:
        return blocks * 16;
    default:
        return width * height * bytes_per_pixel(format, masks);
    }
}

bool decode_native_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error)
{
    image = NativeImage();
    if (starts_with(file, "\x89PNG\r\n\x1a\n", 8))
        return decode_png_image(file, image, error);
    if (starts_with(file, "\xFF\xD8\xFF", 3))
        return decode_jpeg_image(file, image, error);
    if (starts_with(file, "DDS ", 4))
        return decode_dds_image(file, image, error);
    if (starts_with(file, "BM", 2))
        return decode_bmp_image(file, image, error);
    if (looks_like_tga(file))
        return decode_tga_image(file, image, error);
    error = "not an image file of a known kind";
    return false;
}

bool check_image_size(std::uint64_t width, std::uint64_t height, std::string& error)
{
    if (width == 0 || height == 0) {
        error = "image has no pixels";
        return false;
    }
    if (width > max_image_side || height > max_image_side || width * height > max_image_pixels) {
        error = "image size " + std::to_string(width) + "x" + std::to_string(height) + " is too large";
        return false;
    }
    return true;
}

bool size_native_image(NativeImage& image, PixelFormat format, std::uint64_t width, std::uint64_t height,
                       std::string& error)
{
    if (!check_image_size(width, height, error))
        return false;
    image.format = format;
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    // Room for 4 bytes a pixel, so that the conversion to RGBA needs no second buffer.
    image.bytes.reserve(width * height * 4);
    image.bytes.resize(image_bytes(format, image.masks, width, height));
    return true;
}

}
