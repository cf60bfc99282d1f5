#include <cmath>
#include <limits>
#include <string>

#include "engine/platform/artist.h"
#include "game/field/field.h"

namespace kq {

namespace {

constexpr float float_epsilon = 1.1920929e-7f;

// The items below each limit are drawn before the field layer of the same index; the rest
// after the aiming beam.
constexpr float pass_limits[3] = {-0.1f, 0.1f, 10.0f};

// No arrow or beam is drawn for a drag shorter than this, in pixels.
constexpr float shortest_drag = 20.0f;

// Planned strikes show an arrow of their impulse times this, at most this long.
constexpr float strike_arrow_scale = 0.02f;
constexpr float longest_strike_arrow = 100.0f;
// A strike's number stands this far beyond its arrow's tail.
constexpr float strike_number_gap = 16.0f;

Color mix(const Color& from, const Color& to, float t)
{
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

void set_vertex_colour(QuadVertex& vertex, const Color& colour, float alpha)
{
    vertex.r = colour.r;
    vertex.g = colour.g;
    vertex.b = colour.b;
    vertex.a = alpha;
}

}

void Field::draw(Artist& artist)
{
    artist.push_translation(m_shake.offset());
    // Darkness halves green and blue.
    artist.multiply_global_color(mix(Color{1.0f, 1.0f, 1.0f, 1.0f}, Color{1.0f, 0.5f, 0.5f, 1.0f}, m_meter.darkness()));
    if (m_back)
        m_back->render(artist);
    for (Item* item : m_draw_order)
        item->prepare_quads();
    std::size_t position = 0;
    for (int i = 0; i < 3; ++i) {
        if (i == 1)
            for_each_idol([&artist](Idol* idol) { idol->draw(artist); });
        draw_items_up_to(artist, pass_limits[i], position);
        m_layers[i].render(artist);
    }
    if (m_aim.held() && (m_aim.mode() == GameMode::aim || m_aim.mode() == GameMode::strikes) &&
        has_initial_bonus(Bonus::accuracy))
        draw_accuracy(artist);
    draw_items_up_to(artist, std::numeric_limits<float>::max(), position);
    draw_darkening(artist);
    artist.pop_global_color();
    artist.pop_transformation();
}

void Field::draw_items_up_to(Artist& artist, float limit, std::size_t& position)
{
    if (m_game.overlay_count() > 0)
        return;
    while (position < m_draw_order.size() && !(m_draw_order[position]->height() > limit)) {
        // The run: the items of the height of the first one (the list is sorted).
        const float height = m_draw_order[position]->height();
        std::size_t end = position + 1;
        while (end < m_draw_order.size() && !(m_draw_order[end]->height() > height))
            ++end;
        for (std::size_t i = position; i < end; ++i)
            m_draw_order[i]->draw_layer(2, artist);
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t i = position; i < end; ++i) {
                Item& item = *m_draw_order[i];
                if (item.is_invisible())
                    continue;
                const float o = item.opacity();
                const bool faded = std::fabs(o - 1.0f) >= float_epsilon;
                if (faded)
                    artist.multiply_global_color(Color{1.0f, 1.0f, 1.0f, o});
                item.draw(pass, artist);
                if (faded)
                    artist.pop_global_color();
            }
        }
        position = end;
    }
}

void Field::draw_accuracy(Artist& artist)
{
    Item* held = m_aim.held();
    if (!held)
        return;
    const Vector2<float> d = launch_origin() - m_aim.aim_point();
    const float length = d.length();
    if (length < shortest_drag)
        return;
    const float angle = std::atan2(d.y, d.x);
    const float alpha = (length - shortest_drag) * 0.01f * 0.75f;
    const float width = (held->size().x + held->size().y) * 0.5f + 4.0f;
    // The colour pulses between cyan and pink, about every 12.6 seconds.
    const float t = (std::sin(float(m_clock.time()) * 0.0005f) + 1.0f) * 0.5f;
    const Color colour = mix(Color{0.2f, 0.9f, 0.9f, 1.0f}, Color{1.0f, 0.3f, 0.5f, 1.0f}, t);

    // One sprite makes both quads: the beam fades in over 100 pixels, then out over 700.
    m_accuracy_sprite.set_position(held->body_position());
    m_accuracy_sprite.set_rotation(angle);
    m_accuracy_sprite.set_size(Vector2<float>{100.0f, width});
    m_accuracy_sprite.set_pivot({0.0f, width / 2.0f});
    if (m_accuracy_sprite.world_quads().empty())
        return;
    Quad fade_in = m_accuracy_sprite.world_quads().front();
    m_accuracy_sprite.set_size(Vector2<float>{700.0f, width});
    m_accuracy_sprite.set_pivot({-100.0f, width / 2.0f});
    Quad fade_out = m_accuracy_sprite.world_quads().front();
    // Vertices 0 and 3 lie at a quad's start, 1 and 2 at its end.
    for (int i : {0, 3}) {
        set_vertex_colour(fade_in.v[i], colour, 0.0f);
        set_vertex_colour(fade_out.v[i], colour, alpha);
    }
    for (int i : {1, 2}) {
        set_vertex_colour(fade_in.v[i], colour, alpha);
        set_vertex_colour(fade_out.v[i], colour, 0.0f);
    }
    artist.set_render_state(m_accuracy_sprite.render_state());
    artist.set_textures(m_accuracy_sprite.texture().get(), m_accuracy_sprite.secondary_texture().get());
    artist.add_quad(fade_in);
    artist.add_quad(fade_out);
}

void Field::draw_darkening(Artist& artist)
{
    if (!m_dark)
        return;
    const Texture* texture = m_darkening.texture().get();
    if (!texture)
        return;
    // The texture's centre lies on the light point.
    m_darkening.set_tbegin({texture->width() / 2 - m_light_point.x, texture->height() / 2 - m_light_point.y});
    m_darkening.render(artist);
}

void Field::draw_overlay(Artist& artist)
{
    const std::vector<MoveRecord>& records = m_aim.records();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const MoveRecord& record = records[i];
        Vector2<float> s = record.impulse * strike_arrow_scale;
        if (s.length() > longest_strike_arrow)
            s = s.with_length(longest_strike_arrow);
        draw_arrow(record.origin - s, record.origin, artist);
        // The number stands beyond the arrow's tail; without an arrow, on the origin.
        const float length = s.length();
        const Vector2<float> beyond = length > 0.0f ? s * ((length + strike_number_gap) / length) : s;
        m_launch_number.set_position(record.origin - beyond);
        m_launch_number.set_text(std::to_string(i + 1));
        m_launch_number.render(artist);
    }
    const GameMode mode = m_aim.mode();
    const bool aiming = mode == GameMode::aim || mode == GameMode::strikes;
    if ((aiming && m_aim.held()) || (mode == GameMode::fireball && m_aim.placed()))
        draw_arrow(m_aim.aim_point(), launch_origin(), artist);
    m_layers[3].render(artist);
}

void Field::draw_arrow(const Vector2<float>& from, const Vector2<float>& to, Artist& artist)
{
    const Vector2<float> d = from - to;
    const float length = d.length();
    if (length < shortest_drag)
        return;
    const float angle = std::atan2(d.y, d.x);
    m_arrow_tail.set_position(to);
    m_arrow_tail.set_rotation(angle);
    m_arrow_tail.set_size(Vector2<float>{length, m_arrow_tail.size().y});
    m_arrow_tail.render(artist);
    m_arrow_head.set_position(to);
    m_arrow_head.set_rotation(angle);
    m_arrow_head.render(artist);
}

}
