#pragma once

#include <cstdint>
#include <vector>

#include "engine/base/vector2.h"
#include "engine/base/weak_ptr.h"
#include "game/field/objects/item.h"

namespace kq {

/// The player's input mode on the field.
enum class GameMode : std::int32_t
{
    aim = 0,
    hand = 1,
    strikes = 2,
    fireball = 3,
    bolt = 4,
};

/// A planned strike or a shot held back: the piece, where the impulse acts and the impulse,
/// field pixels.
struct MoveRecord
{
    WeakPtr<Item> piece;
    Vector2<float> origin;
    Vector2<float> impulse;
};

/// What the player aims with and how: the input mode, the piece held or the item placed by a
/// press, the grip and aim points of the drag, the strikes left in strikes mode and the
/// planned strikes and held-back shots.
class AimState
{
public:
    GameMode mode() const { return m_mode; }
    void set_mode(GameMode mode) { m_mode = mode; }

    /// The piece a press picked (to shoot, plan or carry); null when none or gone.
    Item* held() const { return m_held.get(); }
    void hold(Item* item) { m_held = WeakPtr<Item>(item); }
    /// The item a press placed (the fireball); null when none or gone.
    Item* placed() const { return m_placed.get(); }
    void place(Item* item) { m_placed = WeakPtr<Item>(item); }
    /// The gripped point: on the held piece (its own frame), or where the fireball was placed.
    const Vector2<float>& grip_point() const { return m_grip_point; }
    void set_grip_point(const Vector2<float>& point) { m_grip_point = point; }
    /// The pointer's position while a drag lasts.
    const Vector2<float>& aim_point() const { return m_aim_point; }
    void set_aim_point(const Vector2<float>& point) { m_aim_point = point; }
    /// Keeps the aim point within `reach` pixels of the origin.
    void clamp_aim_point(const Vector2<float>& origin, float reach);
    /// The height the carried item rests at once let go.
    float rest_height() const { return m_rest_height; }
    void set_rest_height(float height) { m_rest_height = height; }

    int strikes_left() const { return m_strikes_left; }
    void set_strikes_left(int count) { m_strikes_left = count; }
    /// Plans a strike at the cost of one strike; a piece planned again first gives its earlier
    /// strike back.
    void plan(const MoveRecord& record);
    /// Takes back the last planned strike, giving its strike back; false when none is planned.
    bool take_back_last();
    /// Holds a shot back until the turn's end.
    void hold_back(const MoveRecord& record) { m_records.push_back(record); }
    /// The planned strikes and held-back shots, in order.
    const std::vector<MoveRecord>& records() const { return m_records; }
    /// Hands the records over and forgets them.
    std::vector<MoveRecord> take_records();

private:
    GameMode m_mode = GameMode::aim;
    int m_strikes_left = 0;
    WeakPtr<Item> m_held;
    WeakPtr<Item> m_placed;
    Vector2<float> m_grip_point;
    Vector2<float> m_aim_point;
    std::vector<MoveRecord> m_records;
    float m_rest_height = 0.0f;
};

}
