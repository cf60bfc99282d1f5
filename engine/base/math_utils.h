#pragma once

namespace kq {

/// x rounded to the nearest int, halves away from zero; beyond the int range the nearest end,
/// NaN 0.
int round_to_int(float x);

/// True when |x| is below the float epsilon (1.1920929e-7).
bool is_zero(float x);

/// The cosine of `x` radians, computed in double.
float cos_f(float x);

/// The angle (radians) brought into [-pi, pi].
float wrapped_angle(float angle);

/// A draw of the process-wide generator in [0, n) for 0 < n < 65536 (n = 1 always gives 0).
int random_int(int n);

/// A draw of the process-wide generator scaled to n, rounding toward zero: in [0, n) for n > 0.
int random_int2(int n);

/// A draw of the process-wide generator in [0, max).
float random_float(float max);

/// b + (a - b) * t: `a` at t = 1, `b` at t = 0.
template <class T>
T interpolate(const T& a, const T& b, float t)
{
    return b + (a - b) * t;
}

}
