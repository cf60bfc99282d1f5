#pragma once

#include <box2d/b2_collision.h>
#include <box2d/b2_math.h>

namespace kq {

/// Checks the physics adapter makes on every value before it reaches Box2D, which asserts
/// (and so aborts the game) on values it cannot handle. Each returns true for a usable value.

/// True when the number is neither infinite nor NaN.
bool is_finite(float value);

/// True when both components are finite.
bool is_finite(const b2Vec2& value);

/// True when the vertices make a polygon Box2D accepts: finite, with at least 3 points that
/// stay distinct after Box2D's welding and whose convex hull has a real area.
bool is_valid_polygon(const b2Vec2* vertices, int count);

/// True when the two boxes overlap with some area; touching edges do not count.
bool boxes_overlap(const b2AABB& a, const b2AABB& b);

/// Writes "Physics: " + what to the "error" log with the caller's source place.
void log_physics_error(const char* what, const char* file, int line);

}

/// Reports a value the physics adapter refused, with this source place.
#define KQ_PHYSICS_ERROR(what) ::kq::log_physics_error(what, __FILE__, __LINE__)
