#include "engine/art/motion_controllers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <string>

#include "engine/art/sprite.h"
#include "engine/base/bstream.h"
#include "engine/base/math_utils.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t shake_version = 1;
constexpr std::uint8_t splash_version = 0;
constexpr std::uint8_t beam_version = 0;
constexpr std::int32_t max_move_step = 50;
constexpr std::int32_t splash_interval = 20;

void write_f32(BStream& stream, float value)
{
    write_u32(stream, std::bit_cast<std::uint32_t>(value));
}

float read_f32(BStream& stream)
{
    return std::bit_cast<float>(read_u32(stream));
}

// x limited to [-h, h].
float limit(float x, float h)
{
    return x < -h ? -h : (x > h ? h : x);
}

// A draw scaled to the amplitude and centred on 0.
float centred_draw(float amplitude)
{
    return random_float(amplitude) - amplitude * 0.5f;
}

constexpr OwnProperty shake_properties[] = {
    {ShakeController::property_period, "Shake Period", 1},
    {ShakeController::property_shift, "Shake Shift", 2},
    {ShakeController::property_roll, "Shake Roll", 1},
};

constexpr OwnProperty splash_properties[] = {
    {SplashController::property_normal_speed, "Normal Speed", 1},
    {SplashController::property_smoothness, "Splash Smoothness", 1},
};

}

// Move

void MoveController::read_skin(const SkinPath& path)
{
    SpriteController::read_skin(path);
    read_skin_value(path + "speed", &m_velocity);
    read_skin_value(path + "acceleration", &m_acceleration);
}

void MoveController::update(const TimeStamp& stamp)
{
    SpriteController::update(stamp);
    const SpriteTimer* timer = find_timer();
    Sprite* target = sprite();
    if (!timer || !target)
        return;
    const float dt = static_cast<float>(std::min(timer->step(), max_move_step)) * 0.001f;
    m_velocity = {m_velocity.x + m_acceleration.x * dt, m_velocity.y + m_acceleration.y * dt};
    Vector2<float> extra;
    const bool attracted = !is_zero(m_radial) || !is_zero(m_tangential) || m_attraction_period > 0;
    const std::shared_ptr<ParticleTarget*> cell = attracted ? m_target.lock() : nullptr;
    if (cell && *cell) {
        Vector2<float> point;
        (*cell)->target_point(m_target_index, point);
        const Vector2<float> d = target->world_position() - point;
        if (m_attraction_period > 0)
            extra = Vector2<float>{-d.x, -d.y} / (static_cast<float>(m_attraction_period) * 0.001f);
        // Exactly on the point there is no direction to push along or across.
        const float distance = d.length();
        if (distance > 0.0f) {
            const Vector2<float> u = d / distance;
            if (!is_zero(m_radial))
                m_velocity = {m_velocity.x + u.x * (m_radial * dt), m_velocity.y + u.y * (m_radial * dt)};
            if (!is_zero(m_tangential))
                m_velocity = {m_velocity.x - u.y * (m_tangential * dt), m_velocity.y + u.x * (m_tangential * dt)};
        }
    }
    target->move_by(Vector2<float>{m_velocity.x + extra.x, m_velocity.y + extra.y} * dt);
}

// Turn

void TurnController::update(const TimeStamp& stamp)
{
    SpriteController::update(stamp);
    const SpriteTimer* timer = find_timer();
    Sprite* target = sprite();
    if (!timer || !target)
        return;
    target->rotate_by(m_speed * static_cast<float>(timer->step()) * 0.001f);
}

// Shake

ShakeController::ShakeController(const ShakeController& other)
    : SpriteController(other),
      m_period(other.m_period),
      m_shift_amplitude(other.m_shift_amplitude),
      m_roll_amplitude(other.m_roll_amplitude),
      m_shift(other.m_shift),
      m_roll(other.m_roll)
{
}

void ShakeController::store(BStream& stream) const
{
    write_u8(stream, shake_version);
    SpriteController::store(stream);
    write_u32(stream, static_cast<std::uint32_t>(m_period));
    write_f32(stream, m_shift_amplitude.x);
    write_f32(stream, m_shift_amplitude.y);
    write_f32(stream, m_roll_amplitude);
}

void ShakeController::load(BStream& stream)
{
    if (read_u8(stream) > shake_version)
        stream.error("unsupported version.");
    SpriteController::load(stream);
    m_period = static_cast<std::int32_t>(read_u32(stream));
    m_shift_amplitude.x = read_f32(stream);
    m_shift_amplitude.y = read_f32(stream);
    m_roll_amplitude = read_f32(stream);
}

void ShakeController::read_skin(const SkinPath& path)
{
    SpriteController::read_skin(path);
    int period = 0;
    read_skin_value(path + "period", &period);
    m_period = period;
    read_skin_value(path + "shift_amplitude", &m_shift_amplitude);
    read_skin_value(path + "roll_amplitude", &m_roll_amplitude);
}

void ShakeController::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const OwnProperty* entry = answer_float_property(shake_properties, operation, id, data, passed_on);
    if (passed_on)
        SpriteController::property(operation, id, data);
    if (!entry)
        return;
    auto* value = static_cast<float*>(data);
    const bool get = operation == property_get;
    switch (entry->id) {
    case property_period:
        if (get)
            value[0] = static_cast<float>(m_period) / 1000.0f;
        else
            m_period = std::max(10, static_cast<std::int32_t>(value[0] * 1000.0f));
        return;
    case property_shift:
        if (get) {
            value[0] = m_shift_amplitude.x;
            value[1] = m_shift_amplitude.y;
        } else {
            m_shift_amplitude = {std::max(value[0], 0.0f), std::max(value[1], 0.0f)};
        }
        return;
    default:
        if (get)
            value[0] = m_roll_amplitude;
        else
            m_roll_amplitude = value[0];
        return;
    }
}

void ShakeController::pick_shift_target()
{
    // y is drawn first.
    m_target_shift.y = centred_draw(m_shift_amplitude.y);
    m_target_shift.x = centred_draw(m_shift_amplitude.x);
}

void ShakeController::pick_roll_target()
{
    m_target_roll = centred_draw(m_roll_amplitude);
}

void ShakeController::start()
{
    SpriteController::start();
    m_shift = {};
    m_roll = 0.0f;
    m_target_shift = {};
    m_target_roll = 0.0f;
    pick_shift_target();
    pick_roll_target();
}

void ShakeController::update(const TimeStamp& stamp)
{
    SpriteController::update(stamp);
    const SpriteTimer* timer = find_timer();
    Sprite* target = sprite();
    if (!timer || !target)
        return;
    const float dt = static_cast<float>(timer->step()) * 0.001f;
    step_shift(*target, dt);
    step_roll(*target, dt);
}

void ShakeController::step_shift(Sprite& target, float dt)
{
    const Vector2<float> half = m_shift_amplitude * 0.5f;
    // The amplitude may have changed since the target was drawn.
    m_target_shift = {limit(m_target_shift.x, half.x), limit(m_target_shift.y, half.y)};
    const float per_period = dt / (static_cast<float>(m_period) * 0.001f);
    const Vector2<float> reach = m_shift_amplitude * per_period;
    const Vector2<float> next{limit(m_shift.x + limit(m_target_shift.x - m_shift.x, reach.x), half.x),
                              limit(m_shift.y + limit(m_target_shift.y - m_shift.y, reach.y), half.y)};
    const Vector2<float> delta = next - m_shift;
    if (delta.x == 0.0f && delta.y == 0.0f) {
        pick_shift_target();
        return;
    }
    m_shift = next;
    target.move_by(delta);
}

void ShakeController::step_roll(Sprite& target, float dt)
{
    const float half = m_roll_amplitude * 0.5f;
    m_target_roll = limit(m_target_roll, half);
    const float reach = m_roll_amplitude * dt / (static_cast<float>(m_period) * 0.001f);
    float towards = m_target_roll - m_roll;
    Sprite::normalize_angle(towards);
    const float next = limit(m_roll + limit(towards, reach), half);
    const float turn = next - m_roll;
    if (turn == 0.0f) {
        pick_roll_target();
        return;
    }
    m_roll = next;
    target.set_rotation(target.rotation() + turn);
}

void ShakeController::revert()
{
    if (Sprite* target = sprite()) {
        target->set_position(target->position() - m_shift);
        target->set_rotation(target->rotation() - m_roll);
    }
    m_shift = {};
    m_roll = 0.0f;
}

// Splash

void SplashController::store(BStream& stream) const
{
    write_u8(stream, splash_version);
    SpriteController::store(stream);
    write_f32(stream, m_normal_speed);
    write_f32(stream, m_smoothness);
}

void SplashController::load(BStream& stream)
{
    if (read_u8(stream) > splash_version)
        stream.error("unsupported version.");
    SpriteController::load(stream);
    m_normal_speed = read_f32(stream);
    m_smoothness = read_f32(stream);
}

void SplashController::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const OwnProperty* entry = answer_float_property(splash_properties, operation, id, data, passed_on);
    if (passed_on)
        SpriteController::property(operation, id, data);
    if (!entry)
        return;
    float& field = entry->id == property_normal_speed ? m_normal_speed : m_smoothness;
    if (operation == property_get)
        *static_cast<float*>(data) = field;
    else
        field = *static_cast<const float*>(data);
}

void SplashController::start()
{
    if (Sprite* target = sprite())
        m_last_position = target->world_position();
    m_last_time = 0;
    SpriteController::start();
}

void SplashController::apply()
{
    const SpriteTimer* timer = find_timer();
    Sprite* target = sprite();
    if (!timer || !target)
        return;
    const Vector2<float> position = target->world_position();
    const std::int32_t now = timer->current_time();
    if (std::int64_t(now) <= std::int64_t(m_last_time) + splash_interval)
        return;
    const Vector2<float> d = position - m_last_position;
    // Without a normal speed there is no ratio to stretch by; the turn still follows.
    if (!is_zero(m_normal_speed)) {
        const float seconds = static_cast<float>(std::int64_t(now) - m_last_time) * 0.001f;
        const float ratio = d.length() / seconds / m_normal_speed;
        const float current = target->scale().x;
        target->set_scale(Vector2<float>{std::max(current + (ratio - current) * m_smoothness, 1.0f), 1.0f});
    }
    if (d.x != 0.0f || d.y != 0.0f) {
        float turn = std::atan2(d.y, d.x) - target->rotation();
        Sprite::normalize_angle(turn);
        target->set_rotation(target->rotation() + turn * m_smoothness);
    }
    m_last_position = position;
    m_last_time = now;
}

// Beam

BeamController::BeamController(const BeamController& other)
    : SpriteController(other), m_first_name(other.m_first_name), m_second_name(other.m_second_name)
{
}

void BeamController::store(BStream& stream) const
{
    write_u8(stream, beam_version);
    SpriteController::store(stream);
    write_binary(stream, m_first_name);
    write_binary(stream, m_second_name);
}

void BeamController::load(BStream& stream)
{
    if (read_u8(stream) > beam_version)
        stream.error("unsupported version.");
    SpriteController::load(stream);
    m_first_name = stream.read_name();
    m_second_name = stream.read_name();
}

void BeamController::start()
{
    SpriteController::start();
    Sprite* owner = sprite();
    // An empty name names no sprite (an unnamed sprite would otherwise match it).
    const auto look_up = [owner](StrCache name) {
        return WeakPtr<Sprite>(owner && !name.empty() ? owner->find_near(name) : nullptr);
    };
    m_first = look_up(m_first_name);
    m_second = look_up(m_second_name);
}

void BeamController::update(const TimeStamp& stamp)
{
    SpriteController::update(stamp);
    Sprite* first = m_first.get();
    Sprite* target = sprite();
    if (!first || !target)
        return;
    const Vector2<float> from = first->world_position();
    target->set_position(from);
    Sprite* second = m_second.get();
    if (!second)
        return;
    const Vector2<float> span = second->world_position() - from;
    target->set_rotation(std::atan2(span.y, span.x));
    target->set_size(Vector2<float>{span.length() + 2.0f * target->pivot().x, target->size().y});
}

}
