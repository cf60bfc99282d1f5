#pragma once

#include <cstdint>

#include "engine/base/type_name.h"

namespace kq {

class SkinPath;
class TStream;

/// The shape of an item's physics body (`Item::Form`).
enum class ItemForm : std::int32_t
{
    circle = 0,
    rect = 1,
    polygons = 2,
    octagon = 3,
};

/// How a game piece trembles (`Vimu::TrembleType`).
enum class TrembleType : std::int32_t
{
    scale = 0,
    move = 1,
};

/// A game piece's bonus; 10 is not a bonus and has no name.
enum class Bonus : std::int32_t
{
    splinter = 0,
    cost_3x = 1,
    shock_wave = 2,
    accuracy = 3,
    slipperiness = 4,
    powerful_strike = 5,
    any_activator = 6,
    magnetic = 7,
    spirit = 8,
    treasure = 9,
    explode = 11,
};

/// When the field's bonus settings run out (`Field::BonusEnd`).
enum class BonusEnd : std::int32_t
{
    on_shot = 0,
    on_turn = 1,
};

/// The state of a mission on the field and in the game's records; a mission still being
/// played (0) has no name.
enum class GameState : std::int32_t
{
    running = 0,
    fail = 1,
    win = 2,
    skip = 3,
};

/// An idol's mood.
enum class IdolMood : std::int32_t
{
    none = -1,
    bad = 0,
    normal = 1,
    good = 2,
};

/// A condition on the player's progress that the game shell tests. Its names "true" and
/// "false" stand for 0 and 1, the reverse of a boolean's values.
enum class Condition : std::int32_t
{
    always = 0,
    never = 1,
    has_trophy = 2,
    has_not_trophy = 3,
};

/// Reads a `GameState` from its name (the text reader the game shell reads mission states
/// with); an unknown name raises the registry's "enum string interpretation [" error.
void read_game_state(TStream& stream, GameState& state);

/// Reads one `Condition` from the text of the skin node at the path; a missing node raises
/// "node not found [", an unknown name the registry's error.
void read_condition(const SkinPath& path, Condition& condition);

}

KQ_TYPE_NAME(kq::ItemForm, "enum kq::Item::Form");
KQ_TYPE_NAME(kq::TrembleType, "enum kq::Vimu::TrembleType");
KQ_TYPE_NAME(kq::Bonus, "enum kq::Bonus");
KQ_TYPE_NAME(kq::BonusEnd, "enum kq::Field::BonusEnd");
KQ_TYPE_NAME(kq::GameState, "enum kq::GameState");
KQ_TYPE_NAME(kq::IdolMood, "enum kq::IdolMood");
KQ_TYPE_NAME(kq::Condition, "enum kq::Condition");
