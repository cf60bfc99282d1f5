#pragma once

#include <box2d/b2_math.h>

#include "engine/base/vector2.h"

namespace kq {

/// The field works in pixels of the 1024 x 768 screen, its physics world in metres; ten
/// pixels make a metre. Speeds, forces and impulses convert by the same factor.
inline constexpr float metres_per_pixel = 0.1f;
inline constexpr float pixels_per_metre = 10.0f;

/// A field vector in world units.
inline b2Vec2 to_metres(const Vector2<float>& v)
{
    return b2Vec2(v.x * metres_per_pixel, v.y * metres_per_pixel);
}

/// A world vector in field units.
inline Vector2<float> to_pixels(const b2Vec2& v)
{
    return {v.x * pixels_per_metre, v.y * pixels_per_metre};
}

}
