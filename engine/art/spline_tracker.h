#pragma once

#include <iterator>

namespace kq {

/// The tracker of a spline kind S that interpolates through `S::evaluate` (time, the key ending
/// the interval). It steps its place forward from key to key and never back: after a time
/// before the current interval it still evaluates that interval, and once past the last key it
/// stays at the last key's value.
template <class S>
class SplineKeyTracker : public S::Tracker
{
public:
    using T = typename S::time_type;
    using V = typename S::value_type;

    /// A tracker at the spline's first key, its value already valid.
    explicit SplineKeyTracker(const S& spline) : m_time(spline.first_time()), m_spline(&spline)
    {
        const auto& keys = spline.keys();
        // Evaluating with the first key as the upper bound gives the first key's value.
        m_cached = spline.evaluate(m_time, keys.begin());
        m_position = keys.empty() ? keys.end() : std::next(keys.begin());
    }

    T time() const override { return m_time; }

    const V& value() override
    {
        if (m_cached_valid)
            return m_cached;
        m_cached_valid = true;
        const auto end = m_spline->keys().end();
        if (m_position == end)
            return m_cached;
        while (m_position != end && m_time > m_position->first)
            ++m_position;
        m_cached = m_spline->evaluate(m_time, m_position);
        return m_cached;
    }

    bool at_end() const override { return m_position == m_spline->keys().end(); }

    void advance(T dt) override
    {
        m_time += dt;
        m_cached_valid = false;
    }

    void set_time(T t) override
    {
        m_time = t;
        m_cached_valid = false;
    }

private:
    V m_cached{};
    bool m_cached_valid = true;
    typename S::KeyIterator m_position;  ///< the key ending the current interval, or the end
    T m_time;
    const S* m_spline;
};

}
