#include "game/field/objects/whirlwind.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/base/math_utils.h"
#include "engine/platform/audio.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/physics/physics_body.h"

namespace kq {

namespace {

constexpr float degrees_to_radians = 0.0174533f;

float pan_at(float x)
{
    return Audio::instance() ? Audio::instance()->pan_for_x(x) : 0.0f;
}

}

float Whirlwind::angle() const
{
    return Item::angle() + m_spin_angle;
}

void Whirlwind::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    const SkinPath& node = skin_path();
    read_skin_value(node + "tang_force", &m_tang_force);
    read_skin_value(node + "radial_force", &m_radial_force);
    float omega = 0.0f;
    read_skin_value(node + "omega", &omega);
    m_omega = omega * degrees_to_radians;
    read_skin_value(node + "moved", &m_moved);
    m_sample.read_name_from_skin(node + "sample");
    m_centre.read_skin(node + "centre");
    read_skin_value(node + "move_factor", &m_move_factor);
}

void Whirlwind::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (!m_body)
        return;
    m_home = body_position();
    const Sample* sample = m_sample.get();
    const int start = random_int2(sample ? int(sample->length()) : 0);
    m_sound.play(sample, true, pan_at(m_home.x), 0.5f, start);
}

Vector2<float> Whirlwind::wander_point(int field_time) const
{
    // In floating point: the phase must not step once every twelve seconds.
    const double t = (double(field_time) + double(m_move_factor)) / 12000.0;
    const double r = 400.0 * std::sin(2.0 * t + 0.2) * std::cos(2.0 * t);
    return {float(m_home.x + r * std::cos(t)), float(m_home.y + r * std::sin(t))};
}

Vector2<float> Whirlwind::swirl_force(const Vector2<float>& d) const
{
    const float radius = m_size.x / 2.0f;
    const float squared = d.x * d.x + d.y * d.y;
    if (squared > radius * radius || squared == 0.0f)
        return {};
    const float length = std::sqrt(squared);
    const float tangential = m_tang_force / length;
    const float radial = m_radial_force / length;
    return {d.y * tangential + d.x * radial, -d.x * tangential + d.y * radial};
}

void Whirlwind::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    set_position(wander_point(m_field->field_time()));

    const float turn = float(dt) * m_omega * 0.001f;
    m_spin_angle = wrapped_angle(m_spin_angle + turn);
    m_centre_angle = wrapped_angle(m_centre_angle + 4.0f * turn);

    const Vector2<float> centre = body_position();
    m_field->for_each_item([this, &centre](Item* item) { swirl(*item, centre); });

    m_sound.set_pan(pan_at(body_position().x));
}

void Whirlwind::swirl(Item& item, const Vector2<float>& centre)
{
    if (&item == this || item.height() > 0.9f || !item.body())
        return;
    const Vector2<float> force = swirl_force(centre - item.position());
    if (force.x != 0.0f || force.y != 0.0f)
        item.apply_central_force(force);
}

void Whirlwind::draw(int pass, Artist& artist)
{
    Item::draw(pass, artist);
    if (pass != 0 || !m_body)
        return;
    m_centre.set_position(body_position());
    m_centre.set_rotation(m_body->angle() + m_centre_angle);
    m_centre.render(artist);
}

}
