#pragma once

#include <deque>

#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "game/field/objects/item.h"

namespace kq {

/// A small creature that crawls over the field on its own: it walks straight ahead and
/// swerves now and then, turns on the spot for a while when it finds itself stuck, rests at
/// times, and kicks away whatever bumps into it. Its walking animation runs faster while it
/// walks than while it turns.
///
/// Every 100 ms of field time three random events are drawn: rest (one chance in 40), wake
/// (about one in 10: a resting beetle walks or turns again, half and half) and swerve (about
/// one in 5: a walking beetle gets a random torque).
class Beetle : public Item
{
public:
    enum State
    {
        walking = 0,
        turning = 1,
        resting = 2,
    };

    /// A place the beetle passed and the update step that brought it there, ms.
    struct PathPoint
    {
        float x = 0.0f;
        float y = 0.0f;
        int dt = 0;
    };

    /// The most places the stuck test looks back over.
    static constexpr std::size_t path_size = 5;
    /// A contact whose normal impulse is above this makes the beetle rest.
    static constexpr float rest_impulse = 2500.0f;
    /// The length of the kick the beetle gives whatever touches it, pixel units.
    static constexpr float kick_impulse = 150.0f;

    Beetle() = default;
    Beetle(const Beetle& other) = default;

    /// The item's body; the beetle starts walking at its full speed from where it stands.
    void build_body(const ItemPlacement& placement) override;
    /// The impact sound, then a kick along the contact normal to the other item; a hit harder
    /// than 2500 makes the beetle rest.
    void on_contact(Item& other, const ContactInfo& info) override;
    /// The item's update, then the stuck test, the random events, the state's motion and the
    /// animation frame.
    void update(int dt) override;
    /// The item's keys, then the required "movement_speed" and "rotation_speed".
    void read_skin(const SkinPath& path) override;

    float movement_speed() const { return m_movement_speed; }
    float rotation_speed() const { return m_rotation_speed; }
    State state() const { return m_state; }
    /// The field time after which a turn may end.
    int turn_end() const { return m_turn_end; }
    const Vector2<float>& last_position() const { return m_last_position; }
    /// The speed last measured, pixels per second.
    float speed() const { return m_speed; }
    bool turns_left() const { return m_turn_left; }
    const std::deque<PathPoint>& path() const { return m_path; }

private:
    // Walking: records the place and finds the beetle stuck when it went under a quarter of
    // its speed over the places recorded; a stuck beetle turns for 300 to 999 ms.
    void check_stuck(const Vector2<float>& p, int dt, int now);
    // True when the event's 100 ms ran out this update, with a value r drawn; the event
    // happens when `chances` x r / 32768 is 0.
    bool draw_event(int& timer, int now, int chances);
    void act(bool wake, bool swerve);
    void animate(int now);

    float m_movement_speed = 100.0f;
    float m_rotation_speed = 2.0f;
    State m_state = walking;
    int m_turn_end = 0;
    Vector2<float> m_last_position;
    float m_speed = 0.0f;
    bool m_turn_left = true;
    std::deque<PathPoint> m_path;
    int m_rest_timer = -1;
    int m_swerve_timer = -1;
    int m_wake_timer = -1;
};

}

KQ_TYPE_NAME(kq::Beetle, "class kq::Beetle");
