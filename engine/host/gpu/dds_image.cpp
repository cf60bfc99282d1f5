#include <algorithm>

#include "engine/host/gpu/dds_header.h"
#include "engine/host/gpu/image_formats.h"

namespace kq::host {

namespace {

// The `count` levels after the main image, as far as the file holds them whole. Each level
// halves the one before, rounding down, and is at least one pixel.
void read_levels(std::uint32_t count, std::uint64_t available, NativeImage& image)
{
    std::uint64_t offset = image.bytes.size();
    std::int32_t width = image.width, height = image.height;
    for (std::uint32_t i = 0; i < count; ++i) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        const std::uint64_t size = image_bytes(image.format, image.masks, width, height);
        if (offset + size > available)
            return;
        image.levels.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(size), width, height});
        offset += size;
    }
}

}

bool decode_dds_image(std::span<const std::uint8_t> file, NativeImage& image, std::string& error)
{
    std::uint32_t levels = 0;
    if (!read_dds_header(file, image, levels, error) || image.format == PixelFormat::none)
        return false;
    const std::span<const std::uint8_t> data = file.subspan(dds_header_size);
    const bool blocks = image.format == PixelFormat::dxt1 || image.format == PixelFormat::dxt3 ||
                        image.format == PixelFormat::dxt5;
    if (image_bytes(image.format, image.masks, image.width, image.height) > data.size()) {
        error = blocks ? "DDS: file ends before the last block" : "DDS: file ends before the last pixel";
        return false;
    }
    size_native_image(image, image.format, image.width, image.height, error);
    read_levels(levels, data.size(), image);
    const std::size_t total = image.levels.empty() ? image.bytes.size() : image.levels.back().offset + image.levels.back().size;
    image.bytes.assign(data.begin(), data.begin() + total);
    return true;
}

}
