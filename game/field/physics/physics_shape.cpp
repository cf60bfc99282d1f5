#include "game/field/physics/physics_shape.h"

#include <box2d/b2_circle_shape.h>
#include <box2d/b2_fixture.h>
#include <box2d/b2_polygon_shape.h>

#include "engine/host/system/assert.h"
#include "game/field/physics/physics_body.h"
#include "game/field/physics/physics_check.h"
#include "game/field/physics/physics_world.h"

namespace kq {

b2Filter to_native(const FilterData& filter)
{
    b2Filter native;
    native.categoryBits = filter.category_bits;
    native.maskBits = filter.mask_bits;
    native.groupIndex = filter.group_index;
    return native;
}

void PolygonDef::set_as_box(float hx, float hy)
{
    vertex_count = 4;
    vertices[0].Set(-hx, -hy);
    vertices[1].Set(hx, -hy);
    vertices[2].Set(hx, hy);
    vertices[3].Set(-hx, hy);
}

void PhysicsShape::set_filter_data(const FilterData& filter)
{
    if (m_body.world().is_locked()) {
        KQ_PHYSICS_ERROR("a shape's filter cannot change during a step");
        return;
    }
    m_filter = filter;
    m_fixture.SetFilterData(to_native(filter));
}

bool PhysicsShape::test_point(const b2Vec2& point) const
{
    return is_finite(point) && m_fixture.TestPoint(point);
}

float PhysicsShape::radius() const
{
    return m_type == ShapeType::circle ? m_fixture.GetShape()->m_radius : 0.0f;
}

int PhysicsShape::vertex_count() const
{
    if (m_type != ShapeType::polygon)
        return 0;
    return static_cast<const b2PolygonShape*>(m_fixture.GetShape())->m_count;
}

b2Vec2 PhysicsShape::vertex(int index) const
{
    KQ_ASSERT(index >= 0 && index < vertex_count());
    return static_cast<const b2PolygonShape*>(m_fixture.GetShape())->m_vertices[index];
}

}
