#pragma once

namespace kq {

class TStream;

/// An RGBA colour of floats, channels nominally in [0, 1].
struct Color {
    /// Clamps every channel to [0, 1].
    void saturate();

    /// Channel-wise sum and difference; scaling of all four channels by a scalar.
    friend Color operator+(const Color& p, const Color& q) { return {p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a}; }
    friend Color operator-(const Color& p, const Color& q) { return {p.r - q.r, p.g - q.g, p.b - q.b, p.a - q.a}; }
    friend Color operator*(const Color& c, float s) { return {c.r * s, c.g * s, c.b * s, c.a * s}; }
    friend Color operator/(const Color& c, float s) { return c * (1.0f / s); }
    /// True when every channel differs by less than the float epsilon.
    friend bool operator==(const Color& p, const Color& q);

    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

/// An RGB colour of floats.
struct Color3 {
    /// Channel-wise sum and difference; scaling of the channels by a scalar.
    friend Color3 operator+(const Color3& p, const Color3& q) { return {p.r + q.r, p.g + q.g, p.b + q.b}; }
    friend Color3 operator-(const Color3& p, const Color3& q) { return {p.r - q.r, p.g - q.g, p.b - q.b}; }
    friend Color3 operator*(const Color3& c, float s) { return {c.r * s, c.g * s, c.b * s}; }
    friend Color3 operator/(const Color3& c, float s) { return c * (1.0f / s); }

    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

/// b + (a - b) * t per channel: `a` at t = 1, `b` at t = 0.
Color3 interpolate_color3(const Color3& a, const Color3& b, float t);

/// Reads "(" r "," g "," b ")" or "(" r "," g "," b "," a ")"; alpha is 1 when absent.
void read_color(TStream& stream, Color& color);
/// Writes "(r, g, b)", with ", a" before the ")" only when alpha is not 1.
void write_color(TStream& stream, const Color& color);
/// Reads "(" r "," g "," b ")".
TStream& operator>>(TStream& stream, Color3& color);

}
