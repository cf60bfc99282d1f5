#include "game/field/objects/dragonfly.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "engine/base/math_utils.h"
#include "game/field/field.h"
#include "game/field/objects/vimu.h"
#include "game/field/physics/physics_body.h"

namespace kq {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr float epsilon = 1.1920929e-7f;
constexpr float arrival_radius = 3.0f;
// Height units a millisecond.
constexpr float climb_rate = 0.002f;
constexpr float height_tolerance = 0.01f;
constexpr float pick_up_tolerance = 20.0f;
constexpr float no_kin_distance = 100000.0f;
constexpr int idle_time = 1000;
constexpr float screen_width = 1024.0f;
constexpr float screen_height = 768.0f;
constexpr Vector2<float> screen_centre{512.0f, 384.0f};
constexpr int drop_tries = 18;
constexpr float drop_step = 0.34906587f;
constexpr int frame_time = 25;

float random_angle()
{
    return random_float(2.0f * pi);
}

Vector2<float> around(const Vector2<float>& centre, float radius, float angle)
{
    return {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)};
}

// The piece while it lives on the field, else null.
Vimu* on_field(Vimu* piece)
{
    return piece && piece->body() ? piece : nullptr;
}

void rest(Dragonfly&) {}

}

void Dragonfly::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    set_height(flight_height);
}

void Dragonfly::on_turn_end()
{
    Item::on_turn_end();
    if (m_field && m_field->turn_count() % m_job_period == 0)
        ++m_jobs;
}

Vimu* Dragonfly::carried() const
{
    return on_field(m_carried.get());
}

void Dragonfly::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    if (m_keep_going && !m_keep_going(*this)) {
        m_on_arrival = nullptr;
        m_keep_going = nullptr;
        m_step = nullptr;
        stop();
    }
    if (m_step) {
        // The step may end its own action: it runs from a copy.
        const Step step = m_step;
        step(*this, dt);
    } else if (m_jobs > 0 && int(m_field->pieces().size()) >= min_pieces) {
        if (!hunt())
            wander(true);
    } else {
        wander(false);
    }
    carry_along();
    turn_to_heading();
    animate();
}

void Dragonfly::stop()
{
    set_velocity({0.0f, 0.0f});
    set_angular_velocity(0.0f);
}

void Dragonfly::carry_along()
{
    Vimu* piece = carried();
    if (!piece)
        return;
    piece->set_velocity({0.0f, 0.0f});
    piece->set_height(m_height - height_tolerance);
    piece->set_position(body_position());
}

void Dragonfly::turn_to_heading()
{
    const Vector2<float> v = velocity();
    if (v.length() < epsilon)
        return;
    const float a = wrapped_angle(angle());
    const float b = wrapped_angle(std::atan2(v.y, v.x));
    const float d = wrapped_angle(b - a);
    if (std::fabs(d) >= epsilon)
        set_angular_velocity(m_turn_gain * std::min(d, 1.0f));
}

void Dragonfly::animate()
{
    // A dragonfly described without frames keeps its base image.
    if (m_animation.empty())
        return;
    const int frames = int(m_animation.size());
    set_frame(m_animation[std::size_t(m_field->field_time() / frame_time % frames)]);
}

void Dragonfly::fly_to(const Vector2<float>& target, float height, Action arrival, Condition keep_going)
{
    m_target = target;
    m_target_height = height;
    m_step = [](Dragonfly& self, int elapsed) { self.fly_step(elapsed); };
    m_on_arrival = std::move(arrival);
    m_keep_going = std::move(keep_going);
}

void Dragonfly::climb_towards(float goal, int elapsed)
{
    const float most = climb_rate * float(elapsed);
    set_height(m_height + std::clamp(goal - m_height, -most, most));
}

void Dragonfly::fly_step(int elapsed)
{
    const Vector2<float> to_target = m_target - body_position();
    const float distance = to_target.length();
    if (distance > arrival_radius) {
        if (std::fabs(m_height - flight_height) > height_tolerance) {
            stop();
            climb_towards(flight_height, elapsed);
        } else {
            set_velocity(to_target * (m_speed / distance));
        }
        return;
    }
    stop();
    set_position(m_target);
    if (std::fabs(m_height - m_target_height) > height_tolerance) {
        climb_towards(m_target_height, elapsed);
        return;
    }
    set_height(m_target_height);
    m_step = nullptr;
    const Action arrival = std::move(m_on_arrival);
    m_on_arrival = nullptr;
    m_keep_going = nullptr;
    if (arrival)
        arrival(*this);
}

void Dragonfly::wander(bool hungry)
{
    const Vector2<float> p = body_position();
    const bool inside = p.x >= 0.0f && p.y >= 0.0f && p.x < screen_width && p.y < screen_height;
    if (!inside) {
        if (hungry)
            idle_wait();
        return;
    }
    fly_to(around(screen_centre, away_radius, random_angle()), flight_height, rest,
           [hungry](const Dragonfly& self) { return self.may_wander(hungry); });
}

void Dragonfly::idle_wait()
{
    const int until = m_field->field_time() + idle_time;
    m_step = [](Dragonfly&, int) {};
    m_on_arrival = rest;
    m_keep_going = [until](const Dragonfly& self) { return self.m_field->field_time() < until; };
}

bool Dragonfly::may_wander(bool hungry) const
{
    return hungry || m_jobs <= 0 || int(m_field->pieces().size()) < min_pieces;
}

bool Dragonfly::hunt()
{
    std::vector<Vimu*> candidates;
    m_field->for_each_piece([this, &candidates](Item* item) {
        auto* piece = dynamic_cast<Vimu*>(item);
        if (piece && is_catchable(*piece))
            candidates.push_back(piece);
    });
    if (candidates.empty())
        return false;
    Vimu* piece = candidates[std::size_t(random_int(int(candidates.size())))];
    const WeakPtr<Vimu> chosen(piece);
    fly_to(piece->position(), piece->height() + 1.0f,
           [chosen](Dragonfly& self) { self.catch_piece(chosen); },
           [chosen](const Dragonfly& self) { return self.is_at(chosen); });
    return true;
}

bool Dragonfly::is_catchable(const Vimu& piece) const
{
    if (!piece.is_launchable() || !piece.has_group() || piece.is_off_ground() ||
        m_field->is_under_awning(piece.position()))
        return false;
    const Vimu* kin = nearest_kin(piece);
    return kin && Vector2<float>::distance(piece.position(), kin->position()) >= isolation_distance;
}

Vimu* Dragonfly::nearest_kin(const Vimu& piece) const
{
    Vimu* nearest = nullptr;
    float best = no_kin_distance;
    const auto [first, last] = m_field->pieces().equal_range(piece.gen());
    for (auto entry = first; entry != last; ++entry) {
        auto* kin = dynamic_cast<Vimu*>(entry->second);
        if (!kin || kin == &piece || !kin->is_launchable() || !kin->has_group() ||
            m_field->is_under_awning(kin->position()))
            continue;
        const float distance = Vector2<float>::distance(piece.position(), kin->position());
        if (distance < best) {
            best = distance;
            nearest = kin;
        }
    }
    return nearest;
}

bool Dragonfly::is_at(const WeakPtr<Vimu>& piece) const
{
    const Vimu* target = on_field(piece.get());
    return target && Vector2<float>::distance(target->position(), m_target) <= pick_up_tolerance;
}

void Dragonfly::catch_piece(const WeakPtr<Vimu>& piece)
{
    if (!is_at(piece))
        return;
    const Vimu* kin = nearest_kin(*piece.get());
    if (!kin)
        return;
    m_carried = piece;
    piece.get()->set_launchable(false);
    fly_to(drop_point(kin->position()), flight_height, [](Dragonfly& self) { self.drop(); },
           [](const Dragonfly& self) { return self.is_carrying(); });
}

Vector2<float> Dragonfly::drop_point(const Vector2<float>& centre) const
{
    float a = random_angle();
    Vector2<float> p;
    for (int i = 0; i < drop_tries; ++i) {
        a += drop_step;
        p = around(centre, drop_radius, a);
        if (m_field->is_under_awning(p))
            continue;
        const Item* there = m_field->item_at(p);
        if (!there || there->mass() > 0.0f)
            return p;
    }
    return p;
}

void Dragonfly::drop()
{
    Vimu* piece = carried();
    if (!piece)
        return;
    piece->set_position(body_position());
    piece->set_height(m_height);
    piece->set_launchable(true);
    piece->jump(0.0f);
    m_carried = WeakPtr<Vimu>();
    --m_jobs;
}

}
