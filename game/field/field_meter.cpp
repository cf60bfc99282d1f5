#include <cstdint>

#include "game/field/field.h"

namespace kq {

namespace {

const Vector2<int> no_position{-1, -1};

}

void Field::add_meter(int delta)
{
    if (m_game_state == GameState::fail)
        return;
    m_meter += delta;
    if (m_meter <= 0) {
        m_meter = 0;
        if (m_danger_mode == 0) {
            m_game.show_tip(StrCache("game_meter_underload"), no_position);
            set_danger_mode(1);
        }
    }
    if (m_danger_mode != 0 && m_meter >= m_meter_limit)
        set_danger_mode(0);
    if (m_meter > m_max_meter) {
        // Twice the excess spills; every 10000 spilled is worth 10 progress units.
        const std::int64_t spill = std::int64_t(m_spill) + (std::int64_t(m_meter) - m_max_meter) * 2;
        const std::int64_t units = spill / 10000 * 10;
        m_spill = int(spill % 10000);
        if (units > 0) {
            add_progress(int(std::min<std::int64_t>(units, INT32_MAX)));
            m_on_meter_overload.emit();
            m_game.show_tip(StrCache("game_meter_overload"), no_position);
        }
        m_meter = m_max_meter;
    }
    m_on_meter_changed.emit();
}

void Field::add_progress(int units)
{
    if (units <= 0)
        return;
    const int before = m_game.level_from_value(m_progress);
    const std::int64_t percent = 100 + 50 * m_game.difficulty();
    const int gain = int(percent * units / 500 * 5);
    if (gain != 0) {
        m_progress += gain;
        m_on_progress_changed.emit();
    }
    const int after = m_game.level_from_value(m_progress);
    if (after > before)
        add_powerup(Powerup::coin, after - before, true);
}

void Field::set_dust_target(const Vector2<float>& point, bool first)
{
    m_dust_targets[first ? 0 : 1] = point;
}

Vector2<float> Field::dust_target(const Vector2<float>& point)
{
    if (point.x > 600.0f)
        m_dust_first = false;
    else if (point.x < 425.0f)
        m_dust_first = true;
    return m_dust_targets[m_dust_first ? 0 : 1];
}

}
