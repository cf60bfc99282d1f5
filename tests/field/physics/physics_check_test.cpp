#include <gtest/gtest.h>

#include <box2d/b2_polygon_shape.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "game/field/physics/physics_check.h"

namespace kq {
namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

struct PolygonCase
{
    std::string name;
    std::vector<b2Vec2> vertices;
    bool valid;
};

TEST(PhysicsCheck, PolygonsBox2DWouldAbortOnAreRefused)
{
    const PolygonCase cases[] = {
        {"box", {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}, true},
        {"triangle counter-clockwise", {{0, 0}, {1, 0}, {0, 1}}, true},
        {"triangle clockwise", {{0, 0}, {0, 1}, {1, 0}}, true},
        {"not convex", {{0, 0}, {2, 0}, {1, 0.5f}, {2, 2}, {0, 2}}, true},
        {"small but real", {{0, 0}, {0.1f, 0}, {0, 0.1f}}, true},
        {"octagon",
         {{-1, 0.44f}, {-1, -0.44f}, {-0.44f, -1}, {0.44f, -1}, {1, -0.44f}, {1, 0.44f},
          {0.44f, 1}, {-0.44f, 1}},
         true},
        {"two points", {{0, 0}, {1, 0}}, false},
        {"no points", {}, false},
        {"nine points", std::vector<b2Vec2>(9, b2Vec2(0, 0)), false},
        {"collinear", {{0, 0}, {1, 0}, {2, 0}}, false},
        {"collinear with a repeat", {{0, 0}, {1, 1}, {1, 1}, {2, 2}}, false},
        {"three repeats of one point", {{3, 3}, {3, 3}, {3, 3}}, false},
        {"points within the weld distance", {{0, 0}, {0.001f, 0}, {0, 0.001f}}, false},
        {"zero box", {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, false},
        {"flat box", {{-1, 0}, {1, 0}, {1, 0}, {-1, 0}}, false},
        {"NaN vertex", {{0, 0}, {1, 0}, {nan, 1}}, false},
        {"infinite vertex", {{0, 0}, {inf, 0}, {0, 1}}, false},
        {"sliver", {{0, 0}, {10, 0}, {20, 0.0000001f}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int count = int(c.vertices.size());
        EXPECT_EQ(is_valid_polygon(c.vertices.data(), count), c.valid);
        if (is_valid_polygon(c.vertices.data(), count)) {
            // What the check lets through, Box2D takes without asserting.
            b2PolygonShape shape;
            shape.Set(c.vertices.data(), count);
            b2MassData mass;
            shape.ComputeMass(&mass, 1.0f);
            EXPECT_GT(mass.mass, 0.0f);
        }
    }
}

TEST(PhysicsCheck, BoxesOverlapOnlyWithArea)
{
    auto box = [](float x0, float y0, float x1, float y1) {
        b2AABB b;
        b.lowerBound.Set(x0, y0);
        b.upperBound.Set(x1, y1);
        return b;
    };
    const b2AABB world = box(0, 0, 10, 10);
    struct Case
    {
        const char* name;
        b2AABB other;
        bool overlap;
    };
    const Case cases[] = {
        {"inside", box(1, 1, 2, 2), true},
        {"across the right edge", box(9, 1, 11, 2), true},
        {"covering", box(-1, -1, 11, 11), true},
        {"touching the right edge", box(10, 1, 11, 2), false},
        {"touching the top edge", box(1, -1, 2, 0), false},
        {"beyond a corner", box(11, 11, 12, 12), false},
        {"level with it but to the left", box(-3, 1, -2, 2), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(boxes_overlap(c.other, world), c.overlap);
        EXPECT_EQ(boxes_overlap(world, c.other), c.overlap);
    }
}

}
}
