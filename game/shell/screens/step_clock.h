#pragma once

namespace kq {

/// A clock of its own that follows the real time it is fed: a stall of the program (a long
/// load, a dragged window) moves it by at most its maximum step, a paused clock lets the real
/// time pass without moving, and a clock with a step moves only in whole steps.
class StepClock
{
public:
    /// The maximum step the title screen's clock takes.
    static constexpr int default_max_step = 100;

    /// Every time 0, running continuously without a limit.
    StepClock() = default;

    /// The clock and the last real time seen become `now`; nothing is left over.
    void reset(int now);
    /// Moves the clock on by the real time since the last update (unless paused); an earlier
    /// or equal time changes nothing.
    void update(int now);
    /// Adds a span: at most the maximum step, and in whole steps when stepping (the rest is
    /// kept for later).
    void advance(int delta);

    void set_default_max_step() { m_max_step = default_max_step; }
    void set_max_step(int max_step) { m_max_step = max_step; }
    void set_step(int step) { m_step = step; }
    void set_paused(bool paused) { m_paused = paused; }

    bool paused() const { return m_paused; }
    int time() const { return m_time; }
    int last() const { return m_last; }
    int remainder() const { return m_remainder; }

private:
    bool m_paused = false;
    int m_time = 0;
    int m_last = 0;
    int m_remainder = 0;
    int m_max_step = 0;
    int m_step = 0;
};

}
