#include "game/field/physics/physics_check.h"

#include <box2d/b2_common.h>
#include <box2d/b2_settings.h>

#include <cmath>
#include <string>

#include "engine/base/exception.h"
#include "engine/base/log.h"

namespace kq {

namespace {

// Box2D merges points closer than this before it builds a polygon.
constexpr float weld_distance_squared = (0.5f * b2_linearSlop) * (0.5f * b2_linearSlop);

// Box2D asserts a polygon's area above b2_epsilon; far smaller than any shape of the game,
// this bound leaves room for rounding between our hull and Box2D's.
constexpr float min_polygon_area = b2_linearSlop * b2_linearSlop;

int weld(const b2Vec2* vertices, int count, b2Vec2* out)
{
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        bool unique = true;
        for (int j = 0; j < kept && unique; ++j)
            unique = b2DistanceSquared(vertices[i], out[j]) >= weld_distance_squared;
        if (unique)
            out[kept++] = vertices[i];
    }
    return kept;
}

// Gift wrapping from the rightmost point, as Box2D builds its hull; -1 when it does not
// close within the vertex limit.
int convex_hull(const b2Vec2* points, int count, b2Vec2* hull)
{
    int first = 0;
    for (int i = 1; i < count; ++i)
        if (points[i].x > points[first].x
            || (points[i].x == points[first].x && points[i].y < points[first].y))
            first = i;

    int size = 0;
    int current = first;
    for (;;) {
        if (size >= b2_maxPolygonVertices)
            return -1;
        hull[size++] = points[current];
        int next = 0;
        for (int j = 1; j < count; ++j) {
            if (next == current) {
                next = j;
                continue;
            }
            const b2Vec2 r = points[next] - points[current];
            const b2Vec2 v = points[j] - points[current];
            const float c = b2Cross(r, v);
            if (c < 0.0f || (c == 0.0f && v.LengthSquared() > r.LengthSquared()))
                next = j;
        }
        current = next;
        if (current == first)
            return size;
    }
}

float hull_area(const b2Vec2* hull, int count)
{
    float twice_area = 0.0f;
    for (int i = 1; i + 1 < count; ++i)
        twice_area += b2Cross(hull[i] - hull[0], hull[i + 1] - hull[0]);
    return 0.5f * twice_area;
}

}

bool is_finite(float value)
{
    return std::isfinite(value);
}

bool is_finite(const b2Vec2& value)
{
    return std::isfinite(value.x) && std::isfinite(value.y);
}

bool is_valid_polygon(const b2Vec2* vertices, int count)
{
    if (count < 3 || count > b2_maxPolygonVertices)
        return false;
    for (int i = 0; i < count; ++i)
        if (!is_finite(vertices[i]))
            return false;

    b2Vec2 points[b2_maxPolygonVertices];
    const int distinct = weld(vertices, count, points);
    if (distinct < 3)
        return false;
    b2Vec2 hull[b2_maxPolygonVertices];
    const int size = convex_hull(points, distinct, hull);
    return size >= 3 && hull_area(hull, size) > min_polygon_area;
}

bool boxes_overlap(const b2AABB& a, const b2AABB& b)
{
    return a.lowerBound.x < b.upperBound.x && b.lowerBound.x < a.upperBound.x
        && a.lowerBound.y < b.upperBound.y && b.lowerBound.y < a.upperBound.y;
}

void log_physics_error(const char* what, const char* file, int line)
{
    log_error(("Physics: " + std::string(what)).c_str(), source_file_name(file), line);
}

}
