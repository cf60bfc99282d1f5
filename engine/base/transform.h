#pragma once

#include "engine/base/vector2.h"

#include <array>

namespace kq {

/// A 3x3 affine matrix of floats, row by row, for row vectors: the point (x, y) maps to
/// (x·m0 + y·m3 + m6, x·m1 + y·m4 + m7). Rows: image of the x axis, of the y axis, translation.
struct Transform {
    /// The identity.
    Transform() : m{1, 0, 0, 0, 1, 0, 0, 0, 1} {}

    /// Scale first, then rotation by `angle` radians, then the move to `position`.
    static Transform compose(Vector2<float> scale, float angle, Vector2<float> position);
    /// The rotation by `angle` radians.
    static Transform rotation(float angle);

    /// Scales the x row by sx and the y row by sy (a scale applied before this transform).
    void scale(float sx, float sy);
    /// Moves the origin by (x, y) in this transform's own axes.
    void translate(float x, float y);
    /// The affine transform that applies `first`, then this one.
    Transform affine_product(const Transform& first) const;

    /// The point `p` mapped.
    Vector2<float> transform_point(Vector2<float> p) const;
    /// The direction `d` mapped (no translation).
    Vector2<float> transform_direction(Vector2<float> d) const;

    /// The rotation angle of the x axis, atan2(m1, m0).
    float angle() const;
    /// The determinant of the 3x3 matrix.
    float determinant() const;
    /// Writes the inverse (adjugate over determinant) into `out`; a singular matrix is not
    /// checked and gives infinite or undefined entries.
    void inverse(Transform& out) const;
    /// Replaces this matrix by its inverse, as `inverse`.
    void invert();

    /// The ordinary 3x3 product a × b (for row vectors: a applied first, then b).
    friend Transform operator*(const Transform& a, const Transform& b);

    std::array<float, 9> m;
};

}
