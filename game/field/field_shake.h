#pragma once

#include "engine/base/vector2.h"

namespace kq {

/// The shake of the screen: an amount that decays by one a second, and, while it is above
/// 1.5, an offset that moves towards random targets within a range growing with the amount.
class FieldShake
{
public:
    /// Adds to the amount, up to 3.
    void add(float amount);
    /// Decays the amount by `dt` milliseconds and moves the offset on, drawing a new target
    /// when the old one is reached; at 1.5 and below the offset rests at (0, 0).
    void update(int dt);
    /// The screen's offset, pixels.
    const Vector2<int>& offset() const { return m_offset; }

private:
    float m_amount = 0.0f;
    Vector2<int> m_offset;
    int m_time_left = 0;
    Vector2<int> m_target;
};

}
