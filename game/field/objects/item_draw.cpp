#include <array>
#include <cmath>

#include "engine/base/transform.h"
#include "engine/platform/artist.h"
#include "game/field/field.h"
#include "game/field/objects/item.h"
#include "game/field/physics/field_units.h"
#include "game/field/physics/physics_body.h"
#include "game/field/physics/physics_shape.h"

namespace kq {

namespace {

constexpr float float_epsilon = 1.1920929e-7f;

// Render states of the artist: alpha blending and additive blending.
constexpr std::uint32_t state_normal = 0;
constexpr std::uint32_t state_additive = 1;

// The item's rectangle of size w x h around its centre, corners in quad order.
std::array<Vector2<float>, 4> corners(const Vector2<float>& size)
{
    const float w = size.x / 2.0f;
    const float h = size.y / 2.0f;
    return {{{-w, -h}, {w, -h}, {w, h}, {-w, h}}};
}

void set_positions(Quad& quad, const Transform& transform, const Vector2<float>& size)
{
    const std::array<Vector2<float>, 4> points = corners(size);
    for (int i = 0; i < 4; ++i) {
        const Vector2<float> p = transform.transform_point(points[i]);
        quad.v[i].x = p.x;
        quad.v[i].y = p.y;
    }
}

// The corners of the texture region (u, v, width, height), in quad order, as first coordinates.
void set_texture_rect(Quad& quad, const Rect& rect)
{
    const float us[] = {rect.x, rect.x + rect.w, rect.x + rect.w, rect.x};
    const float vs[] = {rect.y, rect.y, rect.y + rect.h, rect.y + rect.h};
    for (int i = 0; i < 4; ++i) {
        quad.v[i].tu = us[i];
        quad.v[i].tv = vs[i];
    }
}

}

void Item::prepare_quads()
{
    // An item whose body is gone keeps the quads of its last frame.
    if (!m_body)
        return;
    const Vector2<float> centre = body_position();
    const float turn = m_body->angle();
    set_positions(m_base_quad, Transform::compose(scale(), turn, centre), m_size);
    set_texture_rect(m_base_quad, m_base.rect);

    // The diffuse image stays upright on the screen however the item turns.
    if (m_diffuse.texture.get()) {
        const Transform rotation = Transform::rotation(turn);
        const std::array<Vector2<float>, 4> points = corners(m_size);
        const Rect& rect = m_diffuse.rect;
        for (int i = 0; i < 4; ++i) {
            const Vector2<float> r = rotation.transform_point(points[i]);
            m_base_quad.v[i].tu2 = (r.x + m_size.x / 2.0f) * rect.w / m_size.x + rect.x;
            m_base_quad.v[i].tv2 = (r.y + m_size.y / 2.0f) * rect.h / m_size.y + rect.y;
        }
    }

    // The highlight keeps upright too and only wobbles by its own angle.
    if (m_specular.texture.get()) {
        set_positions(m_specular_quad, Transform::compose(scale(), m_specular_angle, centre), m_size);
        set_texture_rect(m_specular_quad, m_specular.rect);
    }
}

void Item::draw(int pass, Artist& artist)
{
    switch (pass) {
    case 0:
        artist.set_render_state(m_additive ? state_additive : state_normal);
        artist.set_textures(m_base.texture.get(), m_diffuse.texture.get());
        artist.add_quad(m_base_quad);
        break;
    case 1:
        if (Texture* specular = m_specular.texture.get()) {
            artist.set_render_state(state_additive);
            artist.set_textures(specular, nullptr);
            artist.add_quad(m_specular_quad);
        }
        break;
    case 2: {
        Quad shadow = m_base_quad;
        Texture* texture = m_shadow.texture.get();
        if (texture)
            set_texture_rect(shadow, m_shadow.rect);
        else
            texture = m_base.texture.get();
        artist.set_render_state(state_normal);
        artist.set_textures(texture, nullptr);
        artist.add_quad(shadow);
        break;
    }
    default:
        break;
    }
}

Vector2<float> Item::shadow_offset() const
{
    const float d = m_height * 5.0f + m_shadow_shift;
    if (!m_field || !m_field->is_dark())
        return {d, d};
    // On a dark field the shadow falls away from the light, longer the farther the item is.
    const Vector2<int> light = m_field->light_point();
    Vector2<float> v = (position() - Vector2<float>{float(light.x), float(light.y)}) * 0.01f;
    if (v.length() > 1.0f)
        v = v.with_length(1.0f);
    return v * d;
}

void Item::draw_layer(int pass, Artist& artist)
{
    if (m_invisible)
        return;
    bool silhouette = false;
    if (pass == 2) {
        if (!m_have_shadow || m_height < 0.0f)
            return;
        artist.push_translation(shadow_offset());
        // Without a shadow image the base image is drawn as a 40 % black silhouette.
        silhouette = m_shadow.texture.get() == nullptr;
        if (silhouette)
            artist.multiply_global_color(Color{0.0f, 0.0f, 0.0f, 0.4f});
    }
    const float o = opacity();
    const bool faded = std::fabs(o - 1.0f) >= float_epsilon;
    if (faded)
        artist.multiply_global_color(Color{1.0f, 1.0f, 1.0f, o});
    draw(pass, artist);
    if (faded)
        artist.pop_global_color();
    if (silhouette)
        artist.pop_global_color();
    if (pass == 2)
        artist.pop_transformation();
}

void Item::draw_outline(Artist& artist, const Color& colour)
{
    if (!m_body)
        return;
    const Transform transform = Transform::compose({1.0f, 1.0f}, m_body->angle(), body_position());
    for (const auto& shape : m_body->shapes()) {
        const int n = shape->vertex_count();
        for (int i = 0; i < n; ++i) {
            const Vector2<float> a = transform.transform_point(to_pixels(shape->vertex(i)));
            const Vector2<float> b = transform.transform_point(to_pixels(shape->vertex((i + 1) % n)));
            artist.add_line(QuadVertex{a.x, a.y, colour.r, colour.g, colour.b, colour.a},
                            QuadVertex{b.x, b.y, colour.r, colour.g, colour.b, colour.a});
        }
    }
}

}
