#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace kq {

/// Tells which keys on a timer's coefficient axis the coefficient passed since the last
/// look, for timers that run once, loop or swing back and forth. A step longer than half the
/// axis is a wrap (the timer looped or jumped); a step against the running direction is a
/// turn (a ping-pong timer reversed).
class KeyPassage
{
public:
    /// The coefficient "seen" before the first look: just below 0, so that a key at 0 is
    /// passed by the first forward step.
    static constexpr float unseen = std::bit_cast<float>(std::uint32_t(0x80800000));

    enum class Step
    {
        onward,
        wrap,
        turn,
    };

    /// Nothing seen yet, running forward.
    void reset()
    {
        m_last = unseen;
        m_backward = false;
    }
    /// Whether nothing was seen since the last reset.
    bool is_unseen() const { return m_last == unseen; }
    /// Takes t as the coefficient seen last (how a random start skips the keys before it).
    void set_last(float t) { m_last = t; }

    /// The kind of the step from the coefficient seen last to t.
    Step classify(float t) const
    {
        if (std::fabs(t - m_last) > 0.5f)
            return Step::wrap;
        if (m_backward ? t > m_last : m_last > t)
            return Step::turn;
        return Step::onward;
    }

    /// Whether the step to t passes the key k.
    bool passes(Step step, float k, float t) const
    {
        const float last = m_last;
        switch (step) {
        case Step::wrap:
            return m_backward ? (k < last || k >= t) : (k > last || k <= t);
        case Step::turn:
            return m_backward ? (k < last || k <= t) : (k > last || k >= t);
        default:
            return m_backward ? (t <= k && k < last) : (last < k && k <= t);
        }
    }

    /// Ends the look at t: t becomes the coefficient seen last; a turn flips the direction.
    void finish(Step step, float t)
    {
        m_last = t;
        if (step == Step::turn)
            m_backward = !m_backward;
    }

    float last() const { return m_last; }
    bool is_backward() const { return m_backward; }

private:
    float m_last = unseen;
    bool m_backward = false;
};

}
