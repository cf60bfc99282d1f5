#pragma once

#include <functional>

#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/base/weak_ptr.h"
#include "game/field/objects/item.h"

namespace kq {

class Vimu;

/// A dragonfly flying over the field to help the player: every few turns it owes a job; with
/// enough pieces on the field it picks a piece lying far from every other piece of its gen,
/// flies to it, lifts it, carries it next to its nearest kin and drops it there. Between jobs
/// it flies off the screen and waits.
///
/// Its behaviour is held in three slots: the current action's step, run every frame; the
/// condition the action keeps going on, checked every frame before the step; and the action
/// run once a flight has reached its target and height. Each takes the dragonfly it acts on,
/// so a copy acts on itself.
class Dragonfly : public Item
{
public:
    using Step = std::function<void(Dragonfly&, int)>;
    using Condition = std::function<bool(const Dragonfly&)>;
    using Action = std::function<void(Dragonfly&)>;

    /// The height it flies at.
    static constexpr float flight_height = 3.0f;
    /// A piece is carried only when its nearest kin lies at least this far away, pixels.
    static constexpr float isolation_distance = 200.0f;
    /// Fewer pieces on the field than this and no piece is carried.
    static constexpr int min_pieces = 7;
    /// The circle the wandering dragonfly leaves the screen for.
    static constexpr float away_radius = 600.0f;
    /// How far from the kin a piece is dropped, pixels.
    static constexpr float drop_radius = 50.0f;

    Dragonfly() = default;
    /// Copies every member: the three slots, and the carried piece shared.
    Dragonfly(const Dragonfly& other) = default;

    /// Builds the body and rises to the flight height.
    void build_body(const ItemPlacement& placement) override;
    /// Owes one more job at every turn whose count is a multiple of the job period.
    void on_turn_end() override;
    /// The item's update; ends an action that may not go on, runs the current one or chooses
    /// the next, carries its piece along, turns to its heading and shows the next frame of
    /// its animation.
    void update(int dt) override;

    /// The nearest piece of the piece's gen that could be launched and is not under an awning;
    /// null when there is none.
    Vimu* nearest_kin(const Vimu& piece) const;
    /// Whether the hunt may take the piece: launchable, in a group, on the ground, not under
    /// an awning, with its nearest kin at least the isolation distance away.
    bool is_catchable(const Vimu& piece) const;
    /// A point 50 pixels from the centre that is not under an awning and is free or on an item
    /// with mass; tries 18 points 20 degrees apart from a random angle, the last when none is.
    Vector2<float> drop_point(const Vector2<float>& centre) const;

    /// True while an action runs.
    bool is_busy() const { return bool(m_step); }
    /// The piece being carried, or null.
    Vimu* carried() const;
    int jobs() const { return m_jobs; }
    int job_period() const { return m_job_period; }
    float speed() const { return m_speed; }
    const Vector2<float>& target() const { return m_target; }
    float target_height() const { return m_target_height; }

private:
    void fly_to(const Vector2<float>& target, float height, Action arrival, Condition keep_going);
    void fly_step(int elapsed);
    void wander(bool hungry);
    void idle_wait();
    bool may_wander(bool hungry) const;
    bool hunt();
    bool is_at(const WeakPtr<Vimu>& piece) const;
    void catch_piece(const WeakPtr<Vimu>& piece);
    void drop();
    bool is_carrying() const { return carried() != nullptr; }
    void stop();
    // Moves the height towards `goal` by at most the climb of `elapsed` milliseconds.
    void climb_towards(float goal, int elapsed);
    void carry_along();
    void turn_to_heading();
    void animate();

    Vector2<float> m_target;
    float m_target_height = 0.0f;
    Action m_on_arrival;
    Condition m_keep_going;
    Step m_step;
    WeakPtr<Vimu> m_carried;
    int m_jobs = 0;
    float m_speed = 150.0f;
    int m_job_period = 4;
    float m_turn_gain = 5.0f;
};

}

KQ_TYPE_NAME(kq::Dragonfly, "class kq::Dragonfly");
