#include "engine/host/gpu/image_decode.h"

#include <bit>
#include <cstring>

#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

bool starts_with(std::span<const std::uint8_t> file, const char* signature, std::size_t length)
{
    return file.size() >= length && std::memcmp(file.data(), signature, length) == 0;
}

}

bool decode_image(std::span<const std::uint8_t> file, RgbaImage& image, std::string& error)
{
    image = RgbaImage();
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

bool size_image(RgbaImage& image, std::uint64_t width, std::uint64_t height, std::string& error)
{
    if (!check_image_size(width, height, error))
        return false;
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    image.pixels.assign(width * height * 4, 0);
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        image.pixels[i] = 255;
    return true;
}

std::uint8_t masked_channel(std::uint32_t value, std::uint32_t mask)
{
    if (mask == 0)
        return 255;
    const int shift = std::countr_zero(mask);
    const std::uint64_t max = mask >> shift;
    const std::uint64_t channel = (value & mask) >> shift;
    return static_cast<std::uint8_t>((channel * 255 + max / 2) / max);
}

}
