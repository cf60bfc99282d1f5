#include "engine/base/transform.h"

#include <cmath>

namespace kq {

Transform Transform::compose(Vector2<float> scale, float angle, Vector2<float> position)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Transform t;
    t.m = {scale.x * c, scale.x * s, 0, -scale.y * s, scale.y * c, 0, position.x, position.y, 1};
    return t;
}

Transform Transform::rotation(float angle)
{
    return compose({1, 1}, angle, {0, 0});
}

void Transform::scale(float sx, float sy)
{
    for (int i = 0; i < 3; ++i) {
        m[i] *= sx;
        m[3 + i] *= sy;
    }
}

void Transform::translate(float x, float y)
{
    m[6] += x * m[0] + y * m[3];
    m[7] += x * m[1] + y * m[4];
}

Transform Transform::affine_product(const Transform& first) const
{
    const std::array<float, 9>& f = first.m;
    Transform t;
    t.m = {f[0] * m[0] + f[1] * m[3], f[0] * m[1] + f[1] * m[4], 0,
           f[3] * m[0] + f[4] * m[3], f[3] * m[1] + f[4] * m[4], 0,
           f[6] * m[0] + f[7] * m[3] + m[6], f[6] * m[1] + f[7] * m[4] + m[7], 1};
    return t;
}

Vector2<float> Transform::transform_point(Vector2<float> p) const
{
    return {p.x * m[0] + p.y * m[3] + m[6], p.x * m[1] + p.y * m[4] + m[7]};
}

Vector2<float> Transform::transform_direction(Vector2<float> d) const
{
    return {d.x * m[0] + d.y * m[3], d.x * m[1] + d.y * m[4]};
}

float Transform::angle() const
{
    return std::atan2(m[1], m[0]);
}

float Transform::determinant() const
{
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6])
        + m[2] * (m[3] * m[7] - m[4] * m[6]);
}

void Transform::inverse(Transform& out) const
{
    const float d = 1.0f / determinant();
    out.m = {(m[4] * m[8] - m[5] * m[7]) * d, (m[2] * m[7] - m[1] * m[8]) * d, (m[1] * m[5] - m[2] * m[4]) * d,
             (m[5] * m[6] - m[3] * m[8]) * d, (m[0] * m[8] - m[2] * m[6]) * d, (m[2] * m[3] - m[0] * m[5]) * d,
             (m[3] * m[7] - m[4] * m[6]) * d, (m[1] * m[6] - m[0] * m[7]) * d, (m[0] * m[4] - m[1] * m[3]) * d};
}

void Transform::invert()
{
    const Transform copy = *this;
    copy.inverse(*this);
}

Transform operator*(const Transform& a, const Transform& b)
{
    Transform t;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            float sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += a.m[row * 3 + k] * b.m[k * 3 + col];
            t.m[row * 3 + col] = sum;
        }
    }
    return t;
}

}
