#include "engine/base/log.h"
#include "game/field/effects/powerup_add_effect.h"
#include "game/field/field.h"
#include "game/field/skin_description.h"

namespace kq {

namespace {

bool is_powerup(Powerup powerup)
{
    return int(powerup) >= 0 && int(powerup) <= 4;
}

// The tip shown when a powerup is gained and the effect it flies in with, by powerup.
struct PowerupLook
{
    const char* tip;
    const char* effect;
};

constexpr PowerupLook powerup_looks[] = {
    {"powerup_coin", "effects.coin_powerup"},
    {"powerup_clock", "effects.clock_powerup"},
    {"powerup_hand", "effects.hand_powerup"},
    {"powerup_fireball", "effects.fireball_powerup"},
    {"powerup_bolt", "effects.bolt_powerup"},
};

// Any other powerup flies in with this one and shows no tip.
constexpr const char* base_effect = "effects.base_powerup";

const char* effect_path(Powerup powerup)
{
    return is_powerup(powerup) ? powerup_looks[int(powerup)].effect : base_effect;
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
        // A lost mission can still be skipped.
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

void Field::add_powerup(Powerup powerup, int count, bool animate)
{
    if (animate && m_game.animated_powerups() && fly_in_powerup(powerup, count))
        return;
    if (!is_powerup(powerup))
        return;
    m_game.show_tip(StrCache(powerup_looks[int(powerup)].tip), Vector2<int>{-1, -1});
    m_settings.m_powerups[std::size_t(powerup)] += count;
    m_on_powerups_changed.emit();
}

bool Field::fly_in_powerup(Powerup powerup, int count)
{
    const SkinPath path(effect_path(powerup));
    PowerupAddEffect* effect = clone_described<PowerupAddEffect>(path);
    if (!effect)
        return false;
    ++m_pending_powerup_effects;
    effect->on_finish().connect(
        [this, powerup, count] {
            add_powerup(powerup, count, false);
            --m_pending_powerup_effects;
        },
        this);
    // Once landed, the layer lets it go.
    effect->set_transient(true);
    effect_layer().add_child(SharedPtr<Sprite>(effect));
    return true;
}

void Field::apply()
{
    if (m_aim.mode() != GameMode::strikes || m_game_state != GameState::running)
        return;
    m_sound.set_volume(1.0f);
    end_time_stop();
    // Carrying out the plan may have lost the mission, which already left the mode.
    if (m_aim.mode() == GameMode::aim)
        return;
    m_aim.hold(nullptr);
    m_aim.set_mode(GameMode::aim);
    m_on_mode_changed.emit(GameMode::aim);
}

void Field::undo()
{
    if (m_aim.mode() == GameMode::strikes) {
        m_aim.take_back_last();
        return;
    }
    // The powerup of the mode left is not spent.
    if (m_aim.mode() != GameMode::aim && m_game_state == GameState::running)
        set_state(GameMode::aim);
}

bool Field::can_undo() const
{
    if (m_aim.mode() == GameMode::strikes)
        return !m_aim.records().empty();
    return m_aim.mode() != GameMode::aim;
}

bool Field::has_pending_effects() const
{
    return m_game.effect_count() > 0 || m_pending_powerup_effects > 0;
}

}
