#pragma once

#include "engine/art/spline_linear.h"
#include "engine/base/color.h"

namespace kq {

/// How the frame manager dresses a change of frames: the colour laid over the picture of the
/// old screen, keyed in seconds. A fade without keys makes no transition at all.
struct Fade
{
    /// No keys.
    Fade() = default;
    /// With in_ms or out_ms above 0: white (the picture as it was) at 0, black at in_ms, clear
    /// at in_ms + out_ms. Otherwise no keys.
    Fade(int in_ms, int out_ms);

    /// 150 ms to black and 150 ms back.
    static Fade standard() { return Fade(150, 150); }

    /// The length of the curve in seconds (0 without keys).
    float length() const { return m_curve.last_time(); }

    LinearSpline<float, Color> m_curve;
    bool m_disable_input = true;  ///< no frame takes input while the fade runs
    bool m_interrupt = false;     ///< the fade may replace one that still runs
};

}
