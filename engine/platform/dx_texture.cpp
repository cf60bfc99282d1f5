#include "engine/platform/dx_texture.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/stream.h"
#include "engine/base/tstream.h"
#include "engine/host/gpu/image_decode.h"
#include "engine/platform/dx_draw.h"

namespace kq {

namespace {

int round_up_to_power_of_two(int n)
{
    if (n <= 0)
        return 0;
    int p = 1;
    while (p < n && p < (1 << 30))
        p <<= 1;
    return p;
}

}

DXTexture::DXTexture(std::uint32_t mode) : m_mode(mode) {}

DXTexture::~DXTexture()
{
    release();
}

std::int32_t DXTexture::format() const
{
    switch (m_mode & 15) {
    case 7:
    case 8:
        return texture_format_x8r8g8b8;
    case 15:
        return texture_format_a8r8g8b8;
    default:
        return texture_format_unknown;
    }
}

bool DXTexture::create_from_memory(Stream& stream)
{
    const std::string file = read_all(stream.buffer());
    host::RgbaImage image;
    std::string error;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    if (!host::decode_image(std::span<const std::uint8_t>(bytes, file.size()), image, error))
        return false;
    const std::int32_t requested = format();
    std::int32_t made = requested;
    if (made == texture_format_unknown)
        made = image.has_alpha ? texture_format_a8r8g8b8 : texture_format_x8r8g8b8;
    return upload(requested, made, {image.width, image.height}, {image.width, image.height}, image.pixels);
}

bool DXTexture::create_empty(const Vector2<int>& size, std::int32_t format)
{
    const int width = round_up_to_power_of_two(size.x);
    const int height = round_up_to_power_of_two(size.y);
    if (width == 0 || height == 0)
        return false;
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * 4, 0);
    // The device keeps 32-bit pixels only: an opaque one or one with alpha.
    const std::int32_t made = format == texture_format_x8r8g8b8 ? texture_format_x8r8g8b8 : texture_format_a8r8g8b8;
    return upload(format, made, {width, height}, size, pixels);
}

bool DXTexture::read_back() const
{
    const std::size_t bytes = std::size_t(width()) * std::size_t(height()) * 4;
    if (m_pixels.size() == bytes && bytes > 0)
        return true;
    DXDraw* draw = DXDraw::instance();
    if (!draw || !draw->owns(m_device) || !m_texture)
        return false;
    if (!draw->device()->read_texture(m_texture, width(), height(), m_pixels)) {
        m_pixels.clear();
        return false;
    }
    return true;
}

void DXTexture::mix(const Texture& alpha)
{
    const auto* a = dynamic_cast<const DXTexture*>(&alpha);
    if (!a || a->width() != width() || a->height() != height())
        KQ_THROW(Exception, "Texture mix error: sizes not equal.");
    if ((m_mode & 15) != 15 || (a->m_mode & 15) != 8)
        KQ_THROW(Exception, "Texture mix error: not suitable formats.");
    if (!read_back() || !a->read_back())
        KQ_THROW(Exception, "Texture mix error: invalid locked data.");
    // The alpha image's blue channel becomes this texture's alpha.
    const std::size_t bytes = m_pixels.size();
    for (std::size_t i = 0; i < bytes; i += 4)
        m_pixels[i + 3] = a->m_pixels[i + 2];
    DXDraw::instance()->device()->update_texture(m_texture, width(), height(), m_pixels.data());
    // Merging is done at load: neither copy is needed after it.
    m_pixels = {};
    a->m_pixels = {};
}

std::uint32_t DXTexture::pixel(const Vector2<int>& p) const
{
    if (p.x < 0 || p.y < 0 || p.x >= width() || p.y >= height() || !read_back()) {
        log_error("DXTexture::lock failed.", source_file_name(__FILE__), __LINE__);
        return 0xFF000000;
    }
    const std::uint8_t* rgba = &m_pixels[(std::size_t(p.y) * std::size_t(width()) + std::size_t(p.x)) * 4];
    return std::uint32_t(rgba[3]) << 24 | std::uint32_t(rgba[0]) << 16 | std::uint32_t(rgba[1]) << 8 | rgba[2];
}

std::uint32_t DXTexture::pixel_at(const Vector2<float>& uv) const
{
    return pixel({int(uv.x * float(width())), int(uv.y * float(height()))});
}

void DXTexture::write_pixels(int w, int h, const std::vector<std::uint8_t>& rgba)
{
    if (!read_back())
        return;
    w = std::min(w, width());
    h = std::min(h, height());
    const std::size_t row = std::size_t(w) * 4;
    for (int y = 0; y < h; ++y)
        std::memcpy(&m_pixels[std::size_t(y) * std::size_t(width()) * 4], &rgba[std::size_t(y) * row], row);
    if (DXDraw* draw = DXDraw::instance(); draw && draw->owns(m_device) && m_texture)
        draw->device()->update_texture(m_texture, width(), height(), m_pixels.data());
}

bool DXTexture::upload(std::int32_t requested, std::int32_t made, const Vector2<int>& size, const Vector2<int>& image,
                       std::vector<std::uint8_t>& pixels)
{
    release();
    DXDraw* draw = DXDraw::instance();
    if (!draw || !draw->device())
        return false;
    if (made == texture_format_x8r8g8b8) {
        // An opaque format has no alpha to sample: every pixel reads as opaque.
        for (std::size_t i = 3; i < pixels.size(); i += 4)
            pixels[i] = 255;
    }
    m_texture = draw->device()->create_texture(size.x, size.y, pixels.data());
    if (!m_texture)
        return false;
    m_device = draw->device_generation();
    if (requested != texture_format_unknown && made != requested)
        get_log("dxtex") << requested << " - " << made << t_io::endl;
    set_size(size.x, size.y, image.x, image.y);
    return true;
}

void DXTexture::release()
{
    // A texture of a device that is gone has nothing left to give back.
    if (DXDraw* draw = DXDraw::instance(); draw && m_texture && draw->owns(m_device))
        draw->device()->delete_texture(m_texture);
    m_texture = 0;
    m_pixels.clear();
    m_pixels.shrink_to_fit();
}

}
