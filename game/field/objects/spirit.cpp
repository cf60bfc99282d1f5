#include "game/field/objects/spirit.h"

#include <cmath>
#include <numbers>

#include "engine/base/math_utils.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/objects/vimu.h"
#include "game/field/physics/physics_body.h"

namespace kq {

namespace {

constexpr float epsilon = 1.1920929e-7f;

bool has_key(const SkinPath& path)
{
    return require_skin_environment().try_find_node(path, true) != nullptr;
}

Vector2<float> rotated(const Vector2<float>& v, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

}

void Spirit::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    const SkinPath& node = skin_path();
    if (has_key(node + "nominal_speed"))
        read_skin_value(node + "nominal_speed", &m_nominal_speed);
    if (has_key(node + "rotate_speed"))
        read_skin_value(node + "rotate_speed", &m_rotate_speed);
    if (has_key(node + "rotate_period"))
        read_skin_value(node + "rotate_period", &m_rotate_period);
    if (has_key(node + "emitter"))
        m_emitter = SharedPtr<EmitterSprite>(clone_resource<EmitterSprite, Sprite>(node + "emitter"));
}

void Spirit::on_chained_by(Item& piece)
{
    Item::on_chained_by(piece);
    const auto* vimu = dynamic_cast<const Vimu*>(&piece);
    const Color colour = vimu ? vimu->color() : Color{1.0f, 1.0f, 1.0f, 1.0f};
    if (m_body)
        m_field->spawn_effect(SkinPath("effects.spirit_explore"), position(), colour);
    remove();
}

void Spirit::collision_filter(FilterData& filter) const
{
    Item::collision_filter(filter);
    filter.mask_bits = collision_mask;
}

void Spirit::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (m_emitter)
        m_field->layer(0).add_child(m_emitter);
    if (!m_body)
        return;
    const float a = random_float(2.0f * std::numbers::pi_v<float>);
    set_velocity(Vector2<float>::from_polar(a, m_nominal_speed));
}

void Spirit::destroy_body()
{
    if (m_emitter)
        if (Sprite* parent = m_emitter->parent_sprite())
            parent->remove_child(m_emitter.get());
    Item::destroy_body();
}

void Spirit::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    const Vector2<float> p = position();
    if (m_emitter && m_emitter->position() != p) {
        m_emitter->set_position(p);
        m_emitter->invalidate();
    }
    drift(dt);
    count_down_turn(dt);
    if (m_field->pieces().count(m_gen) == 0)
        remove();
}

void Spirit::drift(int dt)
{
    const Vector2<float> v = velocity();
    const float speed = v.length();
    // A spirit stopped dead has no direction to keep; it stays where it is.
    const Vector2<float> kept = speed < epsilon ? Vector2<float>{} : v * (m_nominal_speed / speed);
    set_velocity(rotated(kept, float(dt) * m_rotate_speed * 0.001f));
    set_angular_velocity(0.0f);
}

void Spirit::count_down_turn(int dt)
{
    m_rotate_timer -= dt;
    if (m_rotate_timer > 0)
        return;
    m_rotate_speed = -m_rotate_speed;
    m_rotate_timer = random_int2(m_rotate_period);
}

}
