#include "game/field/objects/treasure.h"

#include <cmath>
#include <cstdint>
#include <numbers>

#include "engine/art/time_stamp.h"
#include "engine/base/math_utils.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/skin_description.h"

namespace kq {

namespace {

constexpr float two_pi = 2.0f * std::numbers::pi_v<float>;

}

void Treasure::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    const SkinPath& node = skin_path();
    read_skin_value(node + "value", &m_value);
    read_skin_value(node + "take_radius", &m_take_radius);
    read_skin_value(node + "eat_effect", &m_eat_effect);
    read_skin_value(node + "sway_period", &m_sway_period);
    read_skin_value(node + "sway_range", &m_sway_range);
    m_shine.read_skin(node + "shine");
    read_skin_value(node + "color", &m_colour);
}

void Treasure::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (!m_body)
        return;
    m_rest_angle = angle();
    // The offset is drawn whatever the period, so the draws after it stay in step.
    const int offset = random_int2(m_sway_period);
    m_sway_offset = m_sway_period > 0 ? offset : 0;
    const float y = random_float(0.6f);
    const float x = random_float(0.6f);
    const Vector2<float> size = m_shine.size();
    m_shine.set_pivot({size.x * (0.2f + x), size.y * (0.2f + y)});
}

float Treasure::sway_angle(int field_time) const
{
    if (m_sway_period <= 0)
        return m_rest_angle;
    const int phase = int((std::int64_t(m_sway_offset) + field_time) % m_sway_period);
    return m_rest_angle + m_sway_range * std::sin(two_pi * float(phase) / float(m_sway_period));
}

void Treasure::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    const int now = m_field->field_time();
    const float angle = sway_angle(now);
    set_angle(angle);

    m_shine.set_position(body_position());
    m_shine.set_rotation(angle);
    TimeStamp clock;
    clock.time = now;
    m_shine.tick(clock);

    // A treasure that went this update (its jewel time over) is no longer there to take.
    if (!m_dead && taker())
        be_taken();
}

Item* Treasure::taker() const
{
    const Vector2<float> centre = body_position();
    for (Item* piece : m_field->burning_pieces()) {
        if (!piece->body())
            continue;
        const float d = Vector2<float>::distance(centre, piece->body_position());
        if (d <= float(m_take_radius) + piece->size().x / 2.0f)
            return piece;
    }
    return nullptr;
}

void Treasure::be_taken()
{
    m_field->add_progress(m_value);
    add_points(m_value, ItemCaption{"{#combo.treasure}", Color{1.0f, 1.0f, 0.0f, 1.0f}});
    const SkinPath effect(m_eat_effect);
    // An eat effect that names no sprite shows nothing.
    if (!m_eat_effect.empty()) {
        if (Sprite* sprite = clone_described(effect)) {
            SharedPtr<Sprite> held(sprite);
            sprite->set_position(body_position());
            sprite->set_rotation(random_float(two_pi));
            sprite->set_color(m_colour);
            m_field->effect_layer().add_child(held);
        }
    }
    remove();
}

void Treasure::on_turn_end()
{
    Item::on_turn_end();
    if (m_dead || m_expiry_turn < 0 || m_expiry_turn >= m_field->turn_count())
        return;
    Color colour{m_colour.r * 4.0f, m_colour.g * 4.0f, m_colour.b * 4.0f, m_colour.a};
    colour.saturate();
    m_field->spawn_effect(SkinPath("effects.treasure_disappear"), body_position(), colour);
    remove();
}

void Treasure::draw(int pass, Artist& artist)
{
    Item::draw(pass, artist);
    if (pass == 1)
        m_shine.render(artist);
}

}
