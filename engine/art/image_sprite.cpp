#include "engine/art/image_sprite.h"

#include <algorithm>
#include <bit>

#include "engine/art/skin_enum.h"
#include "engine/base/bstream.h"
#include "engine/base/math_utils.h"
#include "engine/platform/artist.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t image_version = 3;
// A stored mesh larger than this is damaged data, not a picture.
constexpr std::int64_t max_grid_cells = 1 << 16;

void write_pair(BStream& stream, Vector2<int> value)
{
    write_u32(stream, static_cast<std::uint32_t>(value.x));
    write_u32(stream, static_cast<std::uint32_t>(value.y));
}

Vector2<int> read_pair(BStream& stream)
{
    const auto x = static_cast<std::int32_t>(read_u32(stream));
    return {x, static_cast<std::int32_t>(read_u32(stream))};
}

void write_placement(BStream& stream, ArtTexturePlacement placement)
{
    write_u32(stream, static_cast<std::uint32_t>(placement));
}

ArtTexturePlacement read_placement(BStream& stream)
{
    return static_cast<ArtTexturePlacement>(read_u32(stream));
}

void write_f32(BStream& stream, float value)
{
    write_u32(stream, std::bit_cast<std::uint32_t>(value));
}

float read_f32(BStream& stream)
{
    return std::bit_cast<float>(read_u32(stream));
}

bool valid_grid(Vector2<int> grid)
{
    return grid.x >= 1 && grid.y >= 1 && std::int64_t(grid.x) * grid.y <= max_grid_cells;
}

struct ImageProperty
{
    std::int32_t id;
    const char* label;
    std::int32_t count;
    enum class Element { texture, real, integer } element;
};

constexpr ImageProperty image_properties[] = {
    {SP_TEXTURE, "Texture", 1, ImageProperty::Element::texture},
    {SP_TBEGIN, "Texture Position(X,Y)", 2, ImageProperty::Element::real},
    {image_property_tsize, "Texture Size(X,Y)", 2, ImageProperty::Element::real},
    {image_property_secondary_texture, "Secondary Texture", 1, ImageProperty::Element::texture},
    {SP_SEC_TBEGIN, "Secondary Texture Position(X,Y)", 2, ImageProperty::Element::real},
    {image_property_secondary_tsize, "Secondary Texture Size(X,Y)", 2, ImageProperty::Element::real},
    {image_property_secondary_alpha, "Secondary Alpha", 1, ImageProperty::Element::real},
    {image_property_secondary_blend, "Secondary Blend", 1, ImageProperty::Element::integer},
};

StrCache element_type(const ImageProperty& entry)
{
    switch (entry.element) {
    case ImageProperty::Element::texture:
        return type_name<ResHandle<Texture>>();
    case ImageProperty::Element::integer:
        return type_name<int>();
    default:
        return type_name<float>();
    }
}

// The texture coordinates of a rectangle's point at fractions (fx, fy) of its size.
void set_uv(float& u, float& v, const Rect& r, float fx, float fy)
{
    u = r.x + r.w * fx;
    v = r.y + r.h * fy;
}

// Maps a world position to the texture fixed to the screen: tsize pixels of the world show
// the whole image, starting at tbegin; the result stays inside the image.
Vector2<float> projective_uv(const Texture& texture, Vector2<float> world, Vector2<int> tbegin, Vector2<int> tsize)
{
    const float iw = float(texture.image_width());
    const float ih = float(texture.image_height());
    const float px = tsize.x != 0 ? world.x * iw / float(tsize.x) + float(tbegin.x) : float(tbegin.x);
    const float py = tsize.y != 0 ? world.y * ih / float(tsize.y) + float(tbegin.y) : float(tbegin.y);
    return texture.to_uv({std::clamp(px, 0.0f, iw), std::clamp(py, 0.0f, ih)});
}

}

ImageSprite::ImageSprite(const ImageSprite& other)
    : Sprite(other),
      m_texture(other.m_texture),
      m_placement(other.m_placement),
      m_tbegin(other.m_tbegin),
      m_tsize(other.m_tsize),
      m_secondary_texture(other.m_secondary_texture),
      m_secondary_placement(other.m_secondary_placement),
      m_secondary_tbegin(other.m_secondary_tbegin),
      m_secondary_tsize(other.m_secondary_tsize),
      m_texture_factor(other.m_texture_factor),
      m_grid(other.m_grid)
{
}

ImageSprite::~ImageSprite()
{
    m_texture.release();
    m_secondary_texture.release();
}

void ImageSprite::store(BStream& stream) const
{
    write_u8(stream, image_version);
    Sprite::store(stream);
    m_texture.store(stream);
    m_secondary_texture.store(stream);
    write_placement(stream, m_placement);
    write_pair(stream, m_tbegin);
    write_pair(stream, m_tsize);
    write_pair(stream, m_grid);
    write_placement(stream, m_secondary_placement);
    write_pair(stream, m_secondary_tbegin);
    write_pair(stream, m_secondary_tsize);
    write_f32(stream, m_texture_factor.r);
    write_f32(stream, m_texture_factor.g);
    write_f32(stream, m_texture_factor.b);
    write_f32(stream, m_texture_factor.a);
}

void ImageSprite::load(BStream& stream)
{
    const std::uint8_t version = read_u8(stream);
    if (version > image_version)
        stream.error("unsupported version.");
    Sprite::load(stream);
    m_texture.load(stream);
    m_secondary_texture.load(stream);
    m_placement = read_placement(stream);
    m_tbegin = read_pair(stream);
    m_tsize = read_pair(stream);
    if (version >= 1) {
        const Vector2<int> grid = read_pair(stream);
        if (!valid_grid(grid))
            stream.error("invalid grid.");
        m_grid = grid;
    }
    if (version >= 2) {
        m_secondary_placement = read_placement(stream);
        m_secondary_tbegin = read_pair(stream);
        m_secondary_tsize = read_pair(stream);
    }
    if (version >= 3) {
        m_texture_factor.r = read_f32(stream);
        m_texture_factor.g = read_f32(stream);
        m_texture_factor.b = read_f32(stream);
        m_texture_factor.a = read_f32(stream);
    }
    invalidate();
}

void ImageSprite::read_skin(const SkinPath& path)
{
    Sprite::read_skin(path);
    m_texture.read_name_from_skin(path + "texture");
    read_skin_enum(path + "placement", &m_placement);
    read_vector2i(path + "tbegin", &m_tbegin);
    read_vector2i(path + "tsize", &m_tsize);
    m_secondary_texture.read_name_from_skin(path + "secondary_texture");
    read_skin_enum(path + "secondary_placement", &m_secondary_placement);
    read_vector2i(path + "secondary_tbegin", &m_secondary_tbegin);
    read_vector2i(path + "secondary_tsize", &m_secondary_tsize);
    invalidate();
}

void ImageSprite::visit_handles(const std::function<void(ResHandleBase&)>& visit)
{
    Sprite::visit_handles(visit);
    visit(m_texture);
    visit(m_secondary_texture);
}

void ImageSprite::set_source_rect(Vector2<int> begin, Vector2<int> size)
{
    if (begin == m_tbegin && size == m_tsize && m_placement == ArtTexturePlacement::texel)
        return;
    m_tbegin = begin;
    m_tsize = size;
    m_placement = ArtTexturePlacement::texel;
    invalidate();
}

void ImageSprite::set_texture(const ResHandle<Texture>& texture)
{
    if (m_texture == texture)
        return;
    m_texture.release();
    m_texture.copy_from(texture);
    invalidate();
}

void ImageSprite::set_secondary_texture(const ResHandle<Texture>& texture)
{
    if (m_secondary_texture == texture)
        return;
    m_secondary_texture.release();
    m_secondary_texture.copy_from(texture);
    invalidate();
}

void ImageSprite::set_texture_factor(const Color& factor)
{
    if (!(factor == m_texture_factor))
        m_texture_factor = factor;
}

void ImageSprite::set_placement(ArtTexturePlacement placement)
{
    if (placement == m_placement)
        return;
    m_placement = placement;
    invalidate();
}

void ImageSprite::set_secondary_placement(ArtTexturePlacement placement)
{
    if (placement == m_secondary_placement)
        return;
    m_secondary_placement = placement;
    invalidate();
}

void ImageSprite::set_grid(Vector2<int> grid)
{
    grid = {std::max(grid.x, 1), std::max(grid.y, 1)};
    if (grid == m_grid)
        return;
    m_grid = grid;
    invalidate();
}

void ImageSprite::build_geometry()
{
    Sprite::Quads& out = quads();
    out.clear();
    const Vector2<float> sz = size();
    Texture* primary = m_texture.get();
    Texture* secondary = m_secondary_texture.get();
    m_rect = {0, 0, 0, 0};
    m_secondary_rect = {0, 0, 0, 0};
    if (primary)
        primary->coordinates(m_rect, sz, m_placement, m_tbegin, m_tsize);
    if (secondary)
        secondary->coordinates(m_secondary_rect, sz, m_secondary_placement, m_secondary_tbegin, m_secondary_tsize);

    const float x0 = -pivot().x;
    const float y0 = -pivot().y;
    const Color& c = color();
    const int columns = std::max(m_grid.x, 1);
    const int rows = std::max(m_grid.y, 1);
    // The corners of a cell, clockwise from the top left, as grid steps.
    const int corner_x[] = {0, 1, 1, 0};
    const int corner_y[] = {0, 0, 1, 1};
    out.reserve(std::size_t(columns) * std::size_t(rows));
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            Quad quad;
            for (int k = 0; k < 4; ++k) {
                const float fx = float(i + corner_x[k]) / float(columns);
                const float fy = float(j + corner_y[k]) / float(rows);
                QuadVertex& v = quad.v[k];
                v.x = x0 + sz.x * fx;
                v.y = y0 + sz.y * fy;
                v.r = c.r;
                v.g = c.g;
                v.b = c.b;
                v.a = c.a;
                if (primary)
                    set_uv(v.tu, v.tv, m_rect, fx, fy);
                if (secondary)
                    set_uv(v.tu2, v.tv2, m_secondary_rect, fx, fy);
            }
            out.push_back(quad);
        }
    }
}

void ImageSprite::prepare()
{
    Sprite::prepare();
    Texture* primary = m_placement == ArtTexturePlacement::projective ? m_texture.get() : nullptr;
    Texture* secondary =
        m_secondary_placement == ArtTexturePlacement::projective ? m_secondary_texture.get() : nullptr;
    if (!primary && !secondary)
        return;
    for (Quad& quad : quads()) {
        for (QuadVertex& v : quad.v) {
            if (primary) {
                const Vector2<float> uv = projective_uv(*primary, {v.x, v.y}, m_tbegin, m_tsize);
                v.tu = uv.x;
                v.tv = uv.y;
            }
            if (secondary) {
                const Vector2<float> uv = projective_uv(*secondary, {v.x, v.y}, m_secondary_tbegin, m_secondary_tsize);
                v.tu2 = uv.x;
                v.tv2 = uv.y;
            }
        }
    }
}

void ImageSprite::draw(Artist& artist)
{
    if (render_state() & render_second_mode)
        artist.set_texture_factor(m_texture_factor);
    artist.set_render_state(render_state());
    artist.set_textures(m_texture.get(), m_secondary_texture.get());
    ensure_prepared();
    for (const Quad& quad : quads())
        artist.add_quad(quad);
}

bool ImageSprite::hit_test(const Vector2<float>& point)
{
    if (Sprite::hit_test(point))
        return true;
    if (clickability() != Clickability::full)
        return false;
    Texture* primary = m_texture.get();
    if (!primary)
        return false;
    Transform inverse;
    world_transform().inverse(inverse);
    const Vector2<float> local = inverse.transform_point(point);
    const float x0 = -pivot().x;
    const float y0 = -pivot().y;
    const Vector2<float> sz = size();
    if (!(local.x >= x0 && local.x < x0 + sz.x && local.y >= y0 && local.y < y0 + sz.y))
        return false;
    const Vector2<float> uv{m_rect.x + m_rect.w * (local.x - x0) / sz.x, m_rect.y + m_rect.h * (local.y - y0) / sz.y};
    return (primary->pixel_at(uv) >> 24) != 0;
}

void ImageSprite::set_int_pair(Vector2<int>& field, const float* values)
{
    const Vector2<int> rounded{round_to_int(values[0]), round_to_int(values[1])};
    if (rounded == field)
        return;
    field = rounded;
    invalidate();
}

void ImageSprite::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const ImageProperty* entry = answer_own_property(
        image_properties, operation, id, data, passed_on, element_type,
        [](const ImageProperty& entry) { return entry.count; });
    if (passed_on)
        Sprite::property(operation, id, data);
    if (!entry)
        return;
    const bool get = operation == property_get;
    auto* real = static_cast<float*>(data);
    switch (entry->id) {
    case SP_TEXTURE:
    case image_property_secondary_texture: {
        auto* handle = static_cast<ResHandle<Texture>*>(data);
        ResHandle<Texture>& own = entry->id == SP_TEXTURE ? m_texture : m_secondary_texture;
        if (get)
            handle->copy_from(own);
        else if (entry->id == SP_TEXTURE)
            set_texture(*handle);
        else
            set_secondary_texture(*handle);
        return;
    }
    case SP_TBEGIN:
    case image_property_tsize:
    case SP_SEC_TBEGIN:
    case image_property_secondary_tsize: {
        Vector2<int>& field = entry->id == SP_TBEGIN               ? m_tbegin
                              : entry->id == image_property_tsize ? m_tsize
                              : entry->id == SP_SEC_TBEGIN        ? m_secondary_tbegin
                                                                  : m_secondary_tsize;
        if (get) {
            real[0] = float(field.x);
            real[1] = float(field.y);
        } else {
            set_int_pair(field, real);
        }
        return;
    }
    case image_property_secondary_alpha:
        if (get) {
            real[0] = m_texture_factor.a;
        } else {
            Color factor = m_texture_factor;
            factor.a = std::clamp(real[0], 0.0f, 1.0f);
            set_texture_factor(factor);
        }
        return;
    case image_property_secondary_blend: {
        auto* flag = static_cast<std::int32_t*>(data);
        if (get) {
            *flag = (render_state() & render_second_mode) ? 1 : 0;
        } else {
            const std::uint32_t word =
                *flag != 0 ? render_state() | render_second_mode : render_state() & ~render_second_mode;
            if (word != render_state())
                set_render_state(word);
        }
        return;
    }
    default:
        return;
    }
}

}
