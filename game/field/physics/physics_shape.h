#pragma once

#include <box2d/b2_fixture.h>
#include <box2d/b2_math.h>
#include <box2d/b2_settings.h>

#include <array>
#include <cstdint>

namespace kq {

class PhysicsBody;

/// Collision filter of a shape: two shapes collide when each one's category bits share a bit
/// with the other's mask bits, unless they share a group index (negative: never, positive:
/// always).
struct FilterData
{
    std::uint16_t category_bits = 0x0001;
    std::uint16_t mask_bits = 0xFFFF;
    std::int16_t group_index = 0;
};

/// The same filter in Box2D's form.
b2Filter to_native(const FilterData& filter);

/// The kinds of shape a body can have.
enum class ShapeType
{
    circle,
    polygon,
};

/// Material and filter common to every shape definition; lengths in metres, density in
/// kilograms per square metre. A definition is copied when its shape is made.
struct ShapeDef
{
    ShapeType type;
    float friction = 0.2f;
    float restitution = 0.0f;
    float density = 0.0f;
    FilterData filter;

protected:
    explicit ShapeDef(ShapeType shape_type) : type(shape_type) {}
};

/// A circle of `radius` around `local_position` in the body's frame.
struct CircleDef : ShapeDef
{
    CircleDef() : ShapeDef(ShapeType::circle) {}

    b2Vec2 local_position{0.0f, 0.0f};
    float radius = 1.0f;
};

/// A convex polygon of up to `max_vertices` vertices in the body's frame.
struct PolygonDef : ShapeDef
{
    static constexpr int max_vertices = b2_maxPolygonVertices;

    PolygonDef() : ShapeDef(ShapeType::polygon) {}

    /// Makes the polygon the box of half extents hx and hy centred on the body's origin.
    void set_as_box(float hx, float hy);

    std::array<b2Vec2, max_vertices> vertices{};
    int vertex_count = 0;
};

/// One shape of a body, owned by its body; made by `PhysicsBody::create_shape` and destroyed
/// with its body.
class PhysicsShape
{
public:
    PhysicsShape(PhysicsBody& body, b2Fixture& fixture, ShapeType type, const FilterData& filter)
        : m_body(body), m_fixture(fixture), m_type(type), m_filter(filter)
    {
    }
    PhysicsShape(const PhysicsShape&) = delete;
    PhysicsShape& operator=(const PhysicsShape&) = delete;

    /// Circle or polygon.
    ShapeType type() const { return m_type; }
    /// The body the shape belongs to.
    PhysicsBody& body() const { return m_body; }

    /// The shape's collision filter.
    const FilterData& filter_data() const { return m_filter; }
    /// Sets the collision filter; existing contacts are filtered anew at the next step.
    void set_filter_data(const FilterData& filter);

    /// True when the world point (metres) lies inside the shape at the body's transform.
    bool test_point(const b2Vec2& point) const;

    /// The circle's radius (0 for a polygon).
    float radius() const;
    /// The polygon's vertex count after Box2D took its convex hull (0 for a circle).
    int vertex_count() const;
    /// A vertex of the polygon in the body's frame, counter-clockwise; index below
    /// `vertex_count()`.
    b2Vec2 vertex(int index) const;

    /// The Box2D fixture behind the shape, for the world and the contact reports.
    b2Fixture& fixture() const { return m_fixture; }

private:
    PhysicsBody& m_body;
    b2Fixture& m_fixture;
    ShapeType m_type;
    FilterData m_filter;
};

}
