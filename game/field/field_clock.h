#pragma once

#include <cstdint>

namespace kq {

/// How the field's clock runs: at full speed, slowing to a stand, standing, or coming back.
enum class TimeState : std::int32_t
{
    running = 0,
    stopping = 1,
    stopped = 2,
    resuming = 3,
};

/// The field's clock and its flow: the field time in milliseconds, which runs at the time
/// factor and stands while time is stopped; the deadline of the pending turn; the turns
/// played.
class FieldClock
{
public:
    /// Fades the time factor by `dt` milliseconds of real time: down to a stand over a second
    /// while stopping, up to full speed over a second while resuming.
    void update_stop(int dt);
    /// Moves the field time on by `dt` milliseconds scaled by the time factor; returns the
    /// scaled step. Nothing while time stands.
    int advance(int dt);
    /// Starts slowing to a stand.
    void start_stop() { m_state = TimeState::stopping; }
    /// Starts coming back to speed; false, changing nothing, when the clock runs.
    bool start_resume();

    /// Opens a turn that ends `length` milliseconds of field time from now.
    void open_turn(int length) { m_deadline = m_time + length; }
    /// Ends the pending turn and counts it.
    void close_turn()
    {
        ++m_turns;
        m_deadline = -1;
    }
    /// True while a turn is pending.
    bool turn_pending() const { return m_deadline != -1; }
    /// True when the pending turn's time is up.
    bool turn_due() const { return m_deadline != -1 && m_deadline <= m_time; }

    /// The field time in milliseconds.
    int time() const { return m_time; }
    /// The clock's speed, 0 (standing) to 1.
    float factor() const { return m_factor; }
    TimeState state() const { return m_state; }
    /// The field time at which the pending turn ends; -1 while none is pending.
    int deadline() const { return m_deadline; }
    /// Turns ended so far.
    int turn_count() const { return m_turns; }

private:
    int m_time = 0;
    float m_factor = 1.0f;
    TimeState m_state = TimeState::running;
    int m_deadline = -1;
    int m_turns = 0;
};

}
