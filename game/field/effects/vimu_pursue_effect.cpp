#include "game/field/effects/vimu_pursue_effect.h"

#include <algorithm>
#include <cmath>

#include "engine/art/sprite_timer.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_readers.h"
#include "game/field/objects/vimu.h"

namespace kq {

namespace {

// Within this many units of its piece an effect has arrived.
constexpr float arrival_distance = 10.0f;

}

VimuPursueEffect::VimuPursueEffect(const VimuPursueEffect& other) : Sprite(other), m_speed(other.m_speed)
{
}

void VimuPursueEffect::read_skin(const SkinPath& path)
{
    Sprite::read_skin(path);
    const SkinPath speed = path + "speed";
    if (require_skin_environment().try_find_node(speed, true))
        read_skin_value(speed, &m_speed);
}

Vimu* VimuPursueEffect::live_target() const
{
    Vimu* piece = m_target.get();
    return piece && !piece->is_dead() && piece->body() ? piece : nullptr;
}

void VimuPursueEffect::update(const TimeStamp& stamp)
{
    Sprite::update(stamp);
    if (is_closed())
        return;
    if (timer_ran_out()) {
        close();
        return;
    }
    const Vimu* piece = live_target();
    if (!piece) {
        close();
        return;
    }
    const Vector2<float> delta = piece->body_position() - position();
    const float distance = delta.length();
    if (distance < arrival_distance) {
        close();
        return;
    }
    const SpriteTimer* timer = find_timer();
    const float dt = timer ? float(timer->step()) : 0.0f;
    const float step = std::min(dt * m_speed * 0.001f, distance);
    if (step > 0.0f)
        move_by(delta * (step / distance));
    set_rotation(std::atan2(delta.y, delta.x));
}

void VimuPursueEffect::on_close()
{
    Sprite::on_close();
    if (Vimu* piece = live_target())
        act_on(*piece);
}

void SplinterEffect::act_on(Vimu& piece)
{
    piece.explode();
}

void BonusBringEffect::act_on(Vimu& piece)
{
    piece.set_bonus(m_bonus);
}

}
