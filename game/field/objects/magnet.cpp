#include "game/field/objects/magnet.h"

#include <cmath>
#include <numbers>

#include "engine/art/interpolate_controller.h"
#include "engine/art/sprite.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/skin_description.h"

namespace kq {

namespace {

constexpr int force_sprite_count = 7;
constexpr float force_sprite_step = 0.897598f;
constexpr float pi = std::numbers::pi_v<float>;

// The first shift controller of the sprite, or null.
ShiftController* first_shift(Sprite& sprite)
{
    ShiftController* found = nullptr;
    sprite.controllers().walk([&found](const SharedPtr<SpriteBase>& controller) {
        if (!found)
            found = dynamic_cast<ShiftController*>(controller.get());
    });
    return found;
}

}

void Magnet::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    const SkinPath& node = skin_path();
    read_skin_value(node + "force", &m_force);
    read_skin_value(node + "min_distance", &m_min_distance);
    read_skin_value(node + "max_distance", &m_max_distance);
    read_skin_value(node + "drawing_distance", &m_drawing_distance);
    read_skin_value(node + "drawing_force", &m_drawing_force);
}

void Magnet::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (!m_body || !m_drawing_force)
        return;
    for (int i = 0; i < force_sprite_count; ++i)
        lay_force_sprite(i);
}

void Magnet::lay_force_sprite(int index)
{
    Sprite* sprite = clone_described(SkinPath("items.magnet.force_sprite"));
    if (!sprite)
        return;
    SharedPtr<Sprite> held(sprite);
    const float a = float(index) * force_sprite_step;
    const Vector2<float> centre = body_position();
    sprite->set_position(Vector2<float>{centre.x + m_drawing_distance * std::cos(a),
                                        centre.y + m_drawing_distance * std::sin(a)});
    // Inwards on an attracting magnet, outwards on a repelling one.
    sprite->set_rotation(m_force > 0.0f ? a - pi : a);
    if (ShiftController* shift = first_shift(*sprite)) {
        shift->set_start_value(Vector2<float>{12.0f * std::cos(a), 12.0f * std::sin(a)});
        shift->set_end_value(Vector2<float>{12.0f * std::cos(a - pi), 12.0f * std::sin(a - pi)});
        shift->set_variation(0.0f);
    }
    m_field->layer(0).add_child(held);
}

Vector2<float> Magnet::pull_force(const Vector2<float>& v) const
{
    const float d = v.length();
    if (d < m_min_distance || d > m_max_distance || d == 0.0f)
        return {};
    return v.with_length(-m_force);
}

void Magnet::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    m_field->for_each_item([this](Item* item) { pull(*item); });
}

void Magnet::pull(Item& item)
{
    if (&item == this || !item.is_magnetic() || item.height() > 0.1f || !item.body())
        return;
    const Vector2<float> force = pull_force(item.position() - body_position());
    if (force.x != 0.0f || force.y != 0.0f)
        item.apply_central_force(force);
}

}
