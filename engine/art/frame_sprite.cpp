#include "engine/art/frame_sprite.h"

#include "engine/platform/artist.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

void FrameSprite::read_skin(const SkinPath& path)
{
    Sprite::read_skin(path);
    read_skin_value(path + "solid", &m_solid);
}

void FrameSprite::set_solid(bool solid)
{
    if (solid == m_solid)
        return;
    m_solid = solid;
    invalidate();
}

void FrameSprite::build_geometry()
{
    Sprite::Quads& out = quads();
    out.clear();
    const float x0 = -pivot().x;
    const float y0 = -pivot().y;
    const float inset = m_solid ? 0.0f : 1.0f;
    const float w = size().x - inset;
    const float h = size().y - inset;
    const float xs[] = {x0, x0 + w, x0 + w, x0};
    const float ys[] = {y0, y0, y0 + h, y0 + h};
    const Color& c = color();
    Quad quad;
    for (int i = 0; i < 4; ++i)
        quad.v[i] = QuadVertex{xs[i], ys[i], c.r, c.g, c.b, c.a, 0, 0, 0, 0};
    out.push_back(quad);
}

void FrameSprite::draw(Artist& artist)
{
    artist.set_render_state(render_state());
    artist.unbind_texture();
    artist.unbind_second_texture();
    ensure_prepared();
    for (const Quad& quad : quads()) {
        if (m_solid) {
            artist.add_quad(quad);
            continue;
        }
        for (int i = 0; i < 4; ++i)
            artist.add_line(quad.v[i], quad.v[(i + 1) % 4]);
    }
}

}
