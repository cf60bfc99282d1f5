#include "engine/base/log.h"
#include "game/field/field.h"

namespace kq {

namespace {

bool is_powerup(Powerup powerup)
{
    return int(powerup) >= 0 && int(powerup) <= 4;
}

const char* powerup_tip(Powerup powerup)
{
    switch (powerup) {
    case Powerup::coin: return "powerup_coin";
    case Powerup::clock: return "powerup_clock";
    case Powerup::hand: return "powerup_hand";
    case Powerup::fireball: return "powerup_fireball";
    case Powerup::bolt: return "powerup_bolt";
    }
    return nullptr;
}

}

void Field::select_powerup(Powerup powerup)
{
    if (!is_powerup(powerup) || powerups(powerup) <= 0)
        return;
    if (m_game_state != GameState::running && powerup != Powerup::coin)
        return;
    switch (powerup) {
    case Powerup::coin:
        spend_powerup(Powerup::coin);
        if (m_game_state != GameState::skip)
            set_game_state(GameState::skip);
        break;
    case Powerup::clock:
        spend_powerup(Powerup::clock);
        set_state(GameMode::strikes);
        break;
    case Powerup::hand:
        set_state(GameMode::hand);
        break;
    case Powerup::fireball:
        set_state(GameMode::fireball);
        break;
    case Powerup::bolt:
        set_state(GameMode::bolt);
        break;
    }
}

void Field::spend_powerup(Powerup powerup)
{
    if (!is_powerup(powerup) || powerups(powerup) <= 0) {
        log_error("Not enough powerups.", __FILE__, __LINE__);
        return;
    }
    --m_settings.m_powerups[std::size_t(powerup)];
    m_on_powerups_changed.emit();
}

void Field::add_powerup(Powerup powerup, int count, bool /*animate*/)
{
    if (!is_powerup(powerup))
        return;
    m_game.show_tip(StrCache(powerup_tip(powerup)), Vector2<int>{-1, -1});
    m_settings.m_powerups[std::size_t(powerup)] += count;
    m_on_powerups_changed.emit();
}

}
