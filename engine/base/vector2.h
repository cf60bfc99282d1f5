#pragma once

#include <cmath>

namespace kq {

class TStream;

/// A 2D vector of int or float.
template <class T>
struct Vector2 {
    /// The vector of polar angle `angle` (radians) and length `length`.
    static Vector2 from_polar(T angle, T length) { return {std::cos(angle) * length, std::sin(angle) * length}; }

    /// The distance between the points `p` and `q`.
    static T distance(Vector2 p, Vector2 q) { return (p - q).length(); }

    /// The length.
    T length() const { return std::sqrt(x * x + y * y); }

    /// This vector scaled to `length`; a zero vector, having no direction, stays zero.
    Vector2 with_length(T length) const
    {
        const T current = this->length();
        return current == T(0) ? *this : *this * (length / current);
    }

    /// Scales this vector to `length` in place, as `with_length`.
    void set_length(T length) { *this = with_length(length); }

    /// Component-wise difference; scaling by a scalar (division as multiplication by 1/s).
    friend Vector2 operator-(Vector2 a, Vector2 b) { return {a.x - b.x, a.y - b.y}; }
    friend Vector2 operator*(Vector2 v, T s) { return {v.x * s, v.y * s}; }
    friend Vector2 operator/(Vector2 v, T s) { return v * (T(1) / s); }
    /// Exact component equality.
    friend bool operator==(Vector2 a, Vector2 b) = default;

    T x{};
    T y{};
};

/// Reads "(" x "," y ")", each number a whole float token.
TStream& operator>>(TStream& stream, Vector2<float>& value);
/// Reads "(" x "," y ")", each number through `to_int`.
TStream& operator>>(TStream& stream, Vector2<int>& value);

}
