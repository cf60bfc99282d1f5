#include <cmath>
#include <limits>

#include "engine/platform/artist.h"
#include "game/field/field.h"

namespace kq {

namespace {

constexpr float float_epsilon = 1.1920929e-7f;

// The items below each limit are drawn before the field layer of the same index; the rest
// after the aiming beam.
constexpr float pass_limits[3] = {-0.1f, 0.1f, 10.0f};

Color mix(const Color& from, const Color& to, float t)
{
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

}

void Field::draw(Artist& artist)
{
    artist.push_translation(m_shake_offset);
    // Darkness halves green and blue.
    artist.multiply_global_color(mix(Color{1.0f, 1.0f, 1.0f, 1.0f}, Color{1.0f, 0.5f, 0.5f, 1.0f}, m_darkness));
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
    m_layers[3].render(artist);
}

}
