#include "game/field/objects/beetle.h"

#include <cmath>

#include "engine/base/math_utils.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/physics/physics_body.h"

namespace kq {

namespace {

// The random events are drawn this often, field milliseconds.
constexpr int event_period = 100;
// Animation frame times while walking and while turning, ms.
constexpr int walk_frame_time = 120;
constexpr int turn_frame_time = 200;

}

void Beetle::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    read_skin_value(skin_path() + "movement_speed", &m_movement_speed);
    read_skin_value(skin_path() + "rotation_speed", &m_rotation_speed);
}

void Beetle::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (!m_body)
        return;
    m_speed = m_movement_speed;
    m_last_position = body_position();
    m_path.push_back({m_last_position.x, m_last_position.y, 0});
}

void Beetle::on_contact(Item& other, const ContactInfo& info)
{
    Item::on_contact(other, info);
    if (other.body() && info.normal != Vector2<float>{})
        other.apply_central_impulse(info.normal.with_length(kick_impulse));
    if (info.normal_impulse > rest_impulse)
        m_state = resting;
}

void Beetle::update(int dt)
{
    Item::update(dt);
    if (!m_body || !m_field)
        return;
    const int now = m_field->field_time();
    if (m_state == turning && now > m_turn_end) {
        m_state = walking;
        m_speed = m_movement_speed;
    } else if (m_state == walking) {
        check_stuck(body_position(), dt, now);
    }
    if (draw_event(m_rest_timer, now, 40))
        m_state = resting;
    const bool wake = draw_event(m_wake_timer, now, 10);
    const bool swerve = draw_event(m_swerve_timer, now, 5);
    act(wake, swerve);
    animate(now);
}

void Beetle::check_stuck(const Vector2<float>& p, int dt, int now)
{
    if (m_path.size() >= path_size)
        m_path.pop_front();
    m_path.push_back({p.x, p.y, dt});
    int time = 0;
    for (auto point = std::next(m_path.begin()); point != m_path.end(); ++point)
        time += point->dt;
    const PathPoint& oldest = m_path.front();
    const float distance = Vector2<float>::distance(p, {oldest.x, oldest.y});
    m_speed = time > 0 ? distance / (float(time) * 0.001f) : 0.0f;
    if (m_speed < m_movement_speed * 0.25f) {
        m_state = turning;
        m_turn_end = now + 300 + random_int2(700);
        m_turn_left = random_int2(2) == 0;
    }
}

bool Beetle::draw_event(int& timer, int now, int chances)
{
    if (timer == -1)
        timer = now;
    if (now - timer < event_period)
        return false;
    timer = now;
    return random_int2(chances) == 0;
}

void Beetle::act(bool wake, bool swerve)
{
    switch (m_state) {
    case resting:
        if (!wake)
            break;
        if (random_int2(2) == 0) {
            m_state = walking;
            m_speed = m_movement_speed;
        } else {
            m_state = turning;
        }
        break;
    case turning:
        set_angular_velocity(m_turn_left ? m_rotation_speed : -m_rotation_speed);
        break;
    case walking:
        set_velocity(Vector2<float>::from_polar(angle(), m_movement_speed));
        if (swerve) {
            m_body->apply_torque(random_float(16000.0f) - 8000.0f);
            m_body->wake_up();
        }
        break;
    }
}

void Beetle::animate(int now)
{
    // A beetle without frames has nothing to show; resting keeps the frame it has.
    if (m_animation.empty() || m_state == resting)
        return;
    const int frame_time = m_state == walking ? walk_frame_time : turn_frame_time;
    set_frame(m_animation[std::size_t(now / frame_time % int(m_animation.size()))]);
}

}
