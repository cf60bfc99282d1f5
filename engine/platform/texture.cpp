#include "engine/platform/texture.h"

namespace kq {

Vector2<float> Texture::to_uv(const Vector2<float>& p) const
{
    return {p.x / float(m_width), p.y / float(m_height)};
}

Rect Texture::rect_to_uv(const RectI& r) const
{
    const float w = float(m_width);
    const float h = float(m_height);
    return {float(r.x) / w, float(r.y) / h, float(r.w) / w, float(r.h) / h};
}

void Texture::coordinates(Rect& out, const Vector2<float>& size, ArtTexturePlacement placement,
                          const Vector2<int>& a, const Vector2<int>& b) const
{
    const float w = float(m_width);
    const float h = float(m_height);
    switch (placement) {
    case ArtTexturePlacement::texel:
        out = {float(a.x) / w, float(a.y) / h, size.x / w, size.y / h};
        break;
    case ArtTexturePlacement::full:
        out = {0.0f, 0.0f, float(m_image_width) / w, float(m_image_height) / h};
        break;
    case ArtTexturePlacement::stretch:
        out = {float(a.x) / w, float(a.y) / h, float(b.x) / w, float(b.y) / h};
        break;
    case ArtTexturePlacement::tile:
        // A tile size of 0 along an axis means no tile size was given: the texture then
        // repeats at its own pixel size, as texel placement does, instead of infinitely often.
        out = {float(a.x) / w, float(a.y) / h, b.x != 0 ? size.x / float(b.x) : size.x / w,
               b.y != 0 ? size.y / float(b.y) : size.y / h};
        break;
    default:
        break;
    }
}

void Texture::set_size(int width, int height, int image_width, int image_height)
{
    m_width = width;
    m_height = height;
    m_image_width = image_width;
    m_image_height = image_height;
}

}
