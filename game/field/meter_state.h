#pragma once

#include <array>
#include <cstdint>

#include "engine/base/vector2.h"

namespace kq {

/// How deep the field is in danger.
enum class DangerMode : std::int32_t
{
    /// The meter holds enough.
    none = 0,
    /// The meter ran empty.
    empty = 1,
    /// A shot was fired on an empty meter: the turn's end loses the mission.
    overdrawn = 2,
};

/// The game meter and the progress it feeds: the meter's value and bounds, the danger it
/// puts the field in, the spill of a full meter, the progress value, the darkness that grows
/// in danger and the points magic dust flies to.
class MeterState
{
public:
    /// Adds to the value, stopping at 0; true when the value is then 0.
    bool add(int delta);
    /// Takes a value over the maximum back to it, adding twice the excess to the spill; returns
    /// the progress units of the spill (10 for each 10000 spilled), keeping the rest.
    int spill_excess();
    /// True when the value is back at the danger exit.
    bool refilled() const { return m_value >= m_danger_exit; }
    void set_danger(DangerMode mode) { m_danger = mode; }

    /// Darkens over a second of field time while `darkening`, else lightens over 667 ms.
    void update_darkness(int scaled_dt, bool darkening);

    /// Sets the first (`first`) or the second point magic dust flies to.
    void set_dust_target(const Vector2<float>& point, bool first) { m_dust_targets[first ? 0 : 1] = point; }
    /// The dust target for a piece at the point: the first right of x 425, the second left of
    /// x 600, between them the last one chosen.
    Vector2<float> dust_target(const Vector2<float>& point);

    int value() const { return m_value; }
    void set_value(int value) { m_value = value; }
    int maximum() const { return m_maximum; }
    void set_maximum(int maximum) { m_maximum = maximum; }
    /// The value that ends the danger.
    int danger_exit() const { return m_danger_exit; }
    DangerMode danger() const { return m_danger; }
    int spill() const { return m_spill; }
    int progress() const { return m_progress; }
    void set_progress(int progress) { m_progress = progress; }
    /// How dark the field is, 0 to 1.
    float darkness() const { return m_darkness; }

private:
    int m_value = 50;
    int m_danger_exit = 300000;
    int m_maximum = 100;
    DangerMode m_danger = DangerMode::none;
    int m_spill = 0;
    int m_progress = 0;
    float m_darkness = 0.0f;
    std::array<Vector2<float>, 2> m_dust_targets{};
    bool m_dust_first = false;
};

}
