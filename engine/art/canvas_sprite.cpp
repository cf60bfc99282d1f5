#include "engine/art/canvas_sprite.h"

#include <array>
#include <string>

#include "engine/platform/artist.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

// One of the nine parts: where it goes in the sprite and what it shows of the source
// region (offset from the region's begin, and size), in pixels.
struct Part
{
    float x, y, w, h;
    Vector2<int> offset;
    Vector2<int> size;
};

void read_borders(const SkinPath& path, CanvasSprite::Borders& borders, const char* suffix)
{
    read_skin_value(path + (std::string("left") + suffix).c_str(), &borders.left);
    read_skin_value(path + (std::string("right") + suffix).c_str(), &borders.right);
    read_skin_value(path + (std::string("top") + suffix).c_str(), &borders.top);
    read_skin_value(path + (std::string("bottom") + suffix).c_str(), &borders.bottom);
}

Vector2<int> shifted(Vector2<int> begin, Vector2<int> offset)
{
    return {begin.x + offset.x, begin.y + offset.y};
}

// The texture coordinates of a rectangle's corners, clockwise from the top left.
void set_corner_uv(std::array<QuadVertex, 4>& v, const Rect& r, bool second)
{
    const float us[] = {r.x, r.x + r.w, r.x + r.w, r.x};
    const float vs[] = {r.y, r.y, r.y + r.h, r.y + r.h};
    for (int k = 0; k < 4; ++k) {
        (second ? v[k].tu2 : v[k].tu) = us[k];
        (second ? v[k].tv2 : v[k].tv) = vs[k];
    }
}

}

void CanvasSprite::read_skin(const SkinPath& path)
{
    ImageSprite::read_skin(path);
    read_borders(path, m_borders, "");
    read_borders(path, m_alternate, "_def");
    invalidate();
}

void CanvasSprite::set_borders(const Borders& borders)
{
    m_borders = borders;
    invalidate();
}

void CanvasSprite::build_geometry()
{
    Sprite::Quads& out = quads();
    out.clear();
    const float x0 = -pivot().x;
    const float y0 = -pivot().y;
    const float w = size().x;
    const float h = size().y;
    const float l = float(m_borders.left);
    const float r = float(m_borders.right);
    const float t = float(m_borders.top);
    const float b = float(m_borders.bottom);
    const int sl = m_borders.left;
    const int sr = m_borders.right;
    const int st = m_borders.top;
    const int sb = m_borders.bottom;
    const int sw = tsize().x;
    const int sh = tsize().y;
    // The right and bottom strips start a pixel early and the middle strips are a pixel
    // short: the region's last column and row are never shown.
    const int right_x = sw - sr - 1;
    const int bottom_y = sh - sb - 1;
    const int middle_w = sw - sl - sr - 1;
    const int middle_h = sh - st - sb - 1;
    const Part parts[] = {
        {x0, y0, l, t, {0, 0}, {sl, st}},
        {x0 + l, y0, w - l - r, t, {sl, 0}, {middle_w, st}},
        {x0 + w - r, y0, r, t, {right_x, 0}, {sr, st}},
        {x0 + w - r, y0 + t, r, h - t - b, {right_x, st}, {sr, middle_h}},
        {x0 + w - r, y0 + h - b, r, b, {right_x, bottom_y}, {sr, sb}},
        {x0 + l, y0 + h - b, w - l - r, b, {sl, bottom_y}, {middle_w, sb}},
        {x0, y0 + h - b, l, b, {0, bottom_y}, {sl, sb}},
        {x0, y0 + t, l, h - t - b, {0, st}, {sl, middle_h}},
        {x0 + l, y0 + t, w - l - r, h - t - b, {sl, st}, {middle_w, middle_h}},
    };
    Texture* primary = texture().get();
    Texture* secondary = secondary_texture().get();
    const Color& c = color();
    for (const Part& part : parts) {
        Quad quad;
        const float xs[] = {part.x, part.x + part.w, part.x + part.w, part.x};
        const float ys[] = {part.y, part.y, part.y + part.h, part.y + part.h};
        for (int k = 0; k < 4; ++k)
            quad.v[k] = QuadVertex{xs[k], ys[k], c.r, c.g, c.b, c.a, 0, 0, 0, 0};
        const Vector2<float> drawn{part.w, part.h};
        if (primary) {
            Rect uv{0, 0, 0, 0};
            primary->coordinates(uv, drawn, ArtTexturePlacement::stretch, shifted(tbegin(), part.offset), part.size);
            set_corner_uv(quad.v, uv, false);
        }
        if (secondary) {
            Rect uv{0, 0, 0, 0};
            secondary->coordinates(uv, drawn, ArtTexturePlacement::stretch, shifted(secondary_tbegin(), part.offset),
                                   part.size);
            set_corner_uv(quad.v, uv, true);
        }
        out.push_back(quad);
    }
}

void CanvasSprite::draw(Artist& artist)
{
    ImageSprite::draw(artist);
    artist.push_translation(
        Vector2<float>{float(m_borders.left - m_child_offset.x), float(m_borders.top - m_child_offset.y)});
}

void CanvasSprite::after_children(Artist& artist)
{
    artist.pop_transformation();
}

}
