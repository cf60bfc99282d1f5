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
    if (m_meter.add(delta) && m_meter.danger() == DangerMode::none) {
        m_game.show_tip(StrCache("game_meter_underload"), no_position);
        set_danger_mode(DangerMode::empty);
    }
    if (m_meter.danger() != DangerMode::none && m_meter.refilled())
        set_danger_mode(DangerMode::none);
    if (const int units = m_meter.spill_excess(); units > 0) {
        add_progress(units);
        m_on_meter_overload.emit();
        m_game.show_tip(StrCache("game_meter_overload"), no_position);
    }
    m_on_meter_changed.emit();
}

void Field::add_progress(int units)
{
    if (units <= 0)
        return;
    const int before = m_game.level_from_value(m_meter.progress());
    const std::int64_t percent = 100 + 50 * m_game.difficulty();
    const int gain = int(percent * units / 500 * 5);
    if (gain != 0) {
        m_meter.set_progress(m_meter.progress() + gain);
        m_on_progress_changed.emit();
    }
    const int after = m_game.level_from_value(m_meter.progress());
    if (after > before)
        add_powerup(Powerup::coin, after - before, true);
}

}
