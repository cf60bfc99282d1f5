#include <algorithm>
#include <string>

#include "engine/base/log.h"
#include "engine/base/math_utils.h"
#include "game/field/field.h"
#include "game/field/objects/fireball.h"
#include "game/field/objects/vimu.h"

namespace kq {

namespace {

constexpr float max_drag = 100.0f;
constexpr float min_drag = 20.0f;
constexpr float shot_scale = 50.0f;
constexpr float two_pi = 6.28318531f;
const Color white{1.0f, 1.0f, 1.0f, 1.0f};

// Gives the piece the impulse at the point; a piece remembers it was struck.
void strike(Item& item, const Vector2<float>& impulse, const Vector2<float>& point)
{
    if (auto* piece = dynamic_cast<Vimu*>(&item))
        piece->strike(impulse, point);
    else
        item.apply_impulse(impulse, point);
}

}

bool Field::on_press(const Vector2<float>& point)
{
    switch (m_aim.mode()) {
    case GameMode::aim:
        return pick_piece(point);
    case GameMode::strikes:
        return m_aim.strikes_left() > 0 && pick_piece(point);
    case GameMode::hand: {
        Item* item = piece_at(point);
        if (!item)
            return false;
        m_aim.hold(item);
        m_aim.set_grip_point(item->position());
        m_aim.set_aim_point(point);
        m_aim.set_rest_height(item->height());
        item->set_height(3.0f);
        return true;
    }
    case GameMode::fireball: {
        m_aim.set_grip_point(point);
        Item* fireball = create_described_item(SkinPath("items.fireball"));
        if (!fireball)
            return false;
        m_aim.place(fireball);
        add_item(fireball, ItemPlacement{point, 0.0f});
        return true;
    }
    case GameMode::bolt:
        cast_bolt(point);
        return true;
    }
    return false;
}

bool Field::pick_piece(const Vector2<float>& point)
{
    Item* piece = piece_at(point);
    if (!piece)
        return false;
    m_aim.hold(piece);
    m_aim.set_grip_point(piece->to_local(point));
    m_aim.set_aim_point(point);
    return true;
}

void Field::cast_bolt(const Vector2<float>& point)
{
    spawn_effect(SkinPath("effects.bolt_strike"), point, white);
    for_each_item([this, &point](Item* item) { bolt_hit(item, point); });
    spend_powerup(Powerup::bolt);
    set_state(GameMode::aim);
}

void Field::bolt_hit(Item* item, const Vector2<float>& point)
{
    auto* piece = dynamic_cast<Vimu*>(item);
    if (!piece || piece->gen() == -1 || !piece->body())
        return;
    const float d = Vector2<float>::distance(piece->position(), point);
    if (d < 70.0f) {
        piece->explode();
        return;
    }
    if (!is_launchable(*piece) || 500.0f - d <= 0.0f)
        return;
    add_shake(7.0f);
    piece->set_velocity(Vector2<float>::from_polar(random_float(two_pi), 200.0f));
    piece->jump((500.0f - d) * 0.04f);
}

void Field::update_aim_point()
{
    switch (m_aim.mode()) {
    case GameMode::aim:
    case GameMode::strikes:
    case GameMode::fireball:
        m_aim.clamp_aim_point(launch_origin(), max_drag);
        break;
    case GameMode::hand:
        if (Item* item = m_aim.held())
            item->drag_to(m_aim.aim_point());
        break;
    case GameMode::bolt:
        break;
    }
}

Vector2<float> Field::launch_origin() const
{
    switch (m_aim.mode()) {
    case GameMode::aim:
    case GameMode::strikes: {
        const Item* piece = m_aim.held();
        if (!piece || !piece->body())
            return {};
        return m_game.grip_aim() ? piece->to_world(m_aim.grip_point()) : piece->position();
    }
    case GameMode::fireball:
        return m_aim.grip_point();
    default:
        log_error("Unreachable point reached.", __FILE__, __LINE__);
        return {};
    }
}

Vector2<float> Field::shot_impulse(const Vector2<float>& drag) const
{
    float scale = shot_scale;
    if (m_initial_bonuses.count(Bonus::powerful_strike) > 0)
        if (const BonusSettings* settings = bonus_settings(Bonus::powerful_strike))
            scale = float(settings->data) * shot_scale;
    return drag * scale;
}

void Field::launch()
{
    const GameMode mode = m_aim.mode();
    if (mode == GameMode::hand) {
        drop_carried_item();
        return;
    }
    if (mode != GameMode::aim && mode != GameMode::strikes && mode != GameMode::fireball)
        return;
    const Vector2<float> drag = launch_origin() - m_aim.aim_point();
    if (drag.length() < min_drag) {
        release_held_item();
        return;
    }
    const Vector2<float> impulse = shot_impulse(drag);
    if (mode == GameMode::fireball && m_aim.placed()) {
        launch_fireball(impulse);
        return;
    }
    Item* piece = m_aim.held();
    if (!piece)
        return;
    if (piece->is_off_ground()) {
        release_held_item();
        return;
    }
    if (mode == GameMode::strikes)
        plan_strike(*piece, impulse);
    else
        shoot(*piece, impulse);
}

void Field::launch_fireball(const Vector2<float>& impulse)
{
    if (auto* fireball = dynamic_cast<Fireball*>(m_aim.placed()))
        fireball->launch(impulse);
    m_aim.place(nullptr);
    spend_powerup(Powerup::fireball);
    set_state(GameMode::aim);
}

void Field::plan_strike(Item& piece, const Vector2<float>& impulse)
{
    const Vector2<float> origin = launch_origin();
    m_aim.plan({WeakPtr<Item>(&piece), origin, impulse});
    m_aim.hold(nullptr);
    if (m_aim.strikes_left() <= 0) {
        set_state(GameMode::aim);
    } else {
        const auto plannable = std::count_if(m_pieces.begin(), m_pieces.end(), [this](const auto& entry) {
            return is_launchable(*entry.second) && !is_under_awning(entry.second->position());
        });
        if (std::size_t(plannable) <= m_aim.records().size())
            set_state(GameMode::aim);
    }
    if (m_aim.mode() == GameMode::strikes)
        floating_text(origin, std::to_string(m_aim.strikes_left()) + " {#ui.strikes_left}", white);
    else
        floating_text(origin, "{#ui.no_strikes_left}", white);
}

void Field::shoot(Item& piece, const Vector2<float>& impulse)
{
    const Vector2<float> origin = launch_origin();
    if (m_meter.danger() == DangerMode::overdrawn) {
        // Fired by the end of the turn, free.
        m_aim.hold(nullptr);
        m_aim.hold_back({WeakPtr<Item>(&piece), origin, impulse});
        return;
    }
    // The pending turn ends before this shot counts: it judges the shot before this one.
    m_score.set_turn_cut(m_clock.turn_pending());
    if (m_score.turn_cut())
        end_turn();
    if (m_meter.danger() == DangerMode::empty)
        set_danger_mode(DangerMode::overdrawn);
    if (m_game_state == GameState::running) {
        int cost = throw_cost() * 500;
        if (m_game.grip_aim())
            cost = cost * 95 / 100;
        add_meter(-cost);
    }
    m_clock.open_turn(2000);
    strike(piece, impulse, origin);
    m_score.set_last_piece(&piece);
    m_score.set_shot_in_flight(true);
    m_aim.hold(nullptr);
    m_on_launch.emit();
    m_score.start_shot(piece, m_clock.time());
    expire_bonuses(BonusEnd::on_shot);
}

void Field::drop_carried_item()
{
    Item* item = m_aim.held();
    if (!item || is_under_awning(m_aim.aim_point())) {
        release_held_item();
        return;
    }
    item->end_drag();
    item->jump(-3.0f);
    m_aim.hold(nullptr);
    spend_powerup(Powerup::hand);
    set_state(GameMode::aim);
}

void Field::release_held_item()
{
    if (m_aim.mode() == GameMode::hand)
        if (Item* item = m_aim.held()) {
            item->end_drag();
            item->set_height(m_aim.rest_height());
        }
    if (m_aim.mode() == GameMode::fireball)
        if (Item* fireball = m_aim.placed()) {
            fireball->remove();
            m_aim.place(nullptr);
        }
    m_aim.hold(nullptr);
}

bool Field::can_aim() const
{
    if (!m_aim.held() && !m_aim.placed())
        return false;
    return m_aim.mode() != GameMode::hand || !is_under_awning(m_aim.aim_point());
}

bool Field::can_act(GameMode mode, const Vector2<float>& point, bool near) const
{
    switch (mode) {
    case GameMode::strikes:
        if (m_aim.strikes_left() <= 0)
            return false;
        [[fallthrough]];
    case GameMode::aim:
        return (near ? nearest_piece(point) : piece_at(point)) != nullptr;
    case GameMode::hand:
        return piece_at(point) != nullptr;
    case GameMode::fireball:
    case GameMode::bolt:
        return true;
    }
    return false;
}

Item* Field::clickable_item_at(const Vector2<float>& point) const
{
    if (is_under_awning(point))
        return nullptr;
    for (const SharedPtr<Item>& item : m_items)
        if (item->is_clickable() && item->body() && item->contains(point))
            return item.get();
    return nullptr;
}

Item* Field::activate_item_at(const Vector2<float>& point)
{
    Item* item = clickable_item_at(point);
    if (item)
        item->activate();
    return item;
}

Item* Field::piece_at(const Vector2<float>& point) const
{
    if (is_under_awning(point))
        return nullptr;
    for (const auto& [gen, piece] : m_pieces)
        if (is_launchable(*piece) && piece->body() && piece->contains(point))
            return piece;
    return nullptr;
}

Item* Field::nearest_piece(const Vector2<float>& point) const
{
    Item* best = nullptr;
    float best_distance = 0.0f;
    for (const auto& [gen, piece] : m_pieces) {
        if (!is_launchable(*piece) || !piece->body())
            continue;
        const Vector2<float> centre = piece->position();
        const float d = Vector2<float>::distance(centre, point);
        if (d > max_drag || is_under_awning(centre))
            continue;
        if (!best || d < best_distance) {
            best = piece;
            best_distance = d;
        }
    }
    return best;
}

void Field::set_danger_mode(DangerMode mode)
{
    if (mode == m_meter.danger())
        return;
    if (m_meter.danger() == DangerMode::none)
        m_sound.play(m_danger_sample.get(), true, 0.0f, 1.0f, 0);
    m_meter.set_danger(mode);
    if (mode == DangerMode::none)
        m_sound.play(m_end_danger_sample.get(), false, 0.0f, 1.0f, 0);
    else if (mode == DangerMode::empty)
        m_sound.set_pitch(1.0f);
    else if (mode == DangerMode::overdrawn)
        m_sound.set_pitch(1.3f + random_float(0.2f));
}

}
