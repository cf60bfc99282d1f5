#include "engine/base/math_utils.h"

#include <climits>

#include "engine/base/random.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace kq {

namespace {

constexpr float float_epsilon = std::numeric_limits<float>::epsilon();
constexpr int draw_range = random_max + 1;

}

int round_to_int(float x)
{
    // Values beyond the int range (and NaN, as 0) are brought in first: converting them is
    // undefined.
    if (!(x == x))
        return 0;
    if (x >= 2147483648.0f)
        return INT_MAX;
    if (x <= -2147483648.0f)
        return INT_MIN;
    const float sign = x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : 0.0f);
    return static_cast<int>(x + sign * 0.5f);
}

bool is_zero(float x)
{
    return std::fabs(x) < float_epsilon;
}

float cos_f(float x)
{
    return static_cast<float>(std::cos(static_cast<double>(x)));
}

int random_int(int n)
{
    const std::uint32_t product = static_cast<std::uint32_t>(random_next()) * static_cast<std::uint32_t>(n);
    return static_cast<int>(product >> 15);
}

int random_int2(int n)
{
    return static_cast<int>(static_cast<std::int64_t>(random_next()) * n / draw_range);
}

float random_float(float max)
{
    return static_cast<float>(random_next()) * max * (1.0f / draw_range);
}

float wrapped_angle(float angle)
{
    constexpr float pi = std::numbers::pi_v<float>;
    angle = std::fmod(angle, 2.0f * pi);
    if (angle < -pi)
        angle += 2.0f * pi;
    else if (angle > pi)
        angle -= 2.0f * pi;
    return angle;
}

}
