#include "game/field/physics/physics_body.h"

#include <box2d/b2_body.h>
#include <box2d/b2_circle_shape.h>
#include <box2d/b2_fixture.h>
#include <box2d/b2_polygon_shape.h>

#include <cmath>

#include "game/field/physics/physics_check.h"
#include "game/field/physics/physics_world.h"

namespace kq {

namespace {

// Why a shape's material cannot be simulated, or null when it can.
const char* material_fault(const ShapeDef& def)
{
    if (!is_finite(def.density) || def.density < 0.0f)
        return "shape refused: density negative or not finite";
    if (!is_finite(def.friction) || def.friction < 0.0f)
        return "shape refused: friction negative or not finite";
    if (!is_finite(def.restitution))
        return "shape refused: restitution not finite";
    return nullptr;
}


}

PhysicsBody::PhysicsBody(PhysicsWorld& world, b2Body& body, const BodyDef& def)
    : m_world(world)
    , m_body(body)
    , m_user_data(def.user_data)
    , m_linear_damping(def.linear_damping)
    , m_angular_damping(def.angular_damping)
{
}

PhysicsBody::~PhysicsBody() = default;

PhysicsShape* PhysicsBody::create_shape(const ShapeDef& def)
{
    if (m_world.is_locked()) {
        KQ_PHYSICS_ERROR("a shape cannot be made during a step");
        return nullptr;
    }
    if (const char* fault = material_fault(def)) {
        KQ_PHYSICS_ERROR(fault);
        return nullptr;
    }

    b2CircleShape circle;
    b2PolygonShape polygon;
    b2Shape* shape = nullptr;
    if (def.type == ShapeType::circle) {
        const auto& circle_def = static_cast<const CircleDef&>(def);
        if (!is_finite(circle_def.local_position) || !is_finite(circle_def.radius)
            || circle_def.radius <= 0.0f) {
            KQ_PHYSICS_ERROR("shape refused: circle without a finite, positive radius");
            return nullptr;
        }
        circle.m_p = circle_def.local_position;
        circle.m_radius = circle_def.radius;
        shape = &circle;
    } else {
        const auto& polygon_def = static_cast<const PolygonDef&>(def);
        if (!is_valid_polygon(polygon_def.vertices.data(), polygon_def.vertex_count)) {
            KQ_PHYSICS_ERROR("shape refused: polygon without 3 distinct points around an area");
            return nullptr;
        }
        polygon.Set(polygon_def.vertices.data(), polygon_def.vertex_count);
        shape = &polygon;
    }

    // Box2D keeps no box: a shape made outside it freezes its body before Box2D sees it.
    if (!m_frozen) {
        b2AABB bounds;
        shape->ComputeAABB(&bounds, m_body.GetTransform(), 0);
        if (!boxes_overlap(bounds, m_world.box())) {
            KQ_PHYSICS_ERROR("shape made outside the world box; its body is frozen");
            freeze();
        }
    }

    b2FixtureDef fixture_def;
    fixture_def.shape = shape;
    fixture_def.friction = def.friction;
    fixture_def.restitution = def.restitution;
    fixture_def.filter = to_native(def.filter);
    // Made without density, then given it: Box2D would otherwise recompute a moving body's
    // mass at once (asserting on an inertia lost to rounding), where ours changes only at
    // `set_mass_from_shapes`.
    b2Fixture* fixture = m_body.CreateFixture(&fixture_def);
    fixture->SetDensity(def.density);
    auto& made = m_shapes.emplace_back(std::make_unique<PhysicsShape>(*this, *fixture, def.type, def.filter));
    fixture->GetUserData().pointer = reinterpret_cast<uintptr_t>(made.get());
    return made.get();
}

void PhysicsBody::set_mass_from_shapes()
{
    if (m_world.is_locked()) {
        KQ_PHYSICS_ERROR("a body's mass cannot change during a step");
        return;
    }
    // The sums run as Box2D runs them, so that the inertia checked here is the one it keeps.
    float mass = 0.0f;
    b2Vec2 center(0.0f, 0.0f);
    float inertia = 0.0f;
    for (b2Fixture* fixture = m_body.GetFixtureList(); fixture; fixture = fixture->GetNext()) {
        if (fixture->GetDensity() == 0.0f)
            continue;
        b2MassData data;
        fixture->GetMassData(&data);
        mass += data.mass;
        center += data.mass * data.center;
        inertia += data.I;
    }
    if (mass > 0.0f && !(is_finite(mass) && is_finite(center) && is_finite(inertia))) {
        KQ_PHYSICS_ERROR("body too heavy to simulate; it stays static");
        mass = 0.0f;
    }

    m_mass = m_inv_mass = m_inertia = m_inv_inertia = 0.0f;
    if (!(mass > 0.0f)) {
        m_body.SetType(b2_staticBody);
        return;
    }
    const float inv_mass = 1.0f / mass;
    center *= inv_mass;
    const float central = inertia - mass * b2Dot(center, center);
    const bool can_turn = inertia > 0.0f && central > 0.0f;
    if (inertia > 0.0f && !can_turn)
        KQ_PHYSICS_ERROR("body's inertia lost to rounding; it will not turn");

    m_mass = mass;
    m_inv_mass = inv_mass;
    if (can_turn) {
        m_inertia = central;
        m_inv_inertia = 1.0f / central;
    }
    // Box2D would assert on an inertia rounded away: such a body keeps its rotation fixed.
    m_body.SetFixedRotation(!can_turn);
    if (m_body.GetType() == b2_dynamicBody)
        m_body.ResetMassData();
    else
        m_body.SetType(b2_dynamicBody);
}

bool PhysicsBody::set_xform(const b2Vec2& position, float angle)
{
    if (!is_finite(position) || !is_finite(angle)) {
        KQ_PHYSICS_ERROR("move refused: position or angle not finite");
        return false;
    }
    if (m_frozen)
        return false;
    if (m_world.is_locked()) {
        KQ_PHYSICS_ERROR("a body cannot move during a step");
        return false;
    }
    const b2Transform target(position, b2Rot(angle));
    for (const auto& shape : m_shapes) {
        b2AABB bounds;
        shape->fixture().GetShape()->ComputeAABB(&bounds, target, 0);
        if (!boxes_overlap(bounds, m_world.box())) {
            freeze();
            m_body.SetTransform(position, angle);
            return false;
        }
    }
    m_body.SetTransform(position, angle);
    return true;
}

b2Vec2 PhysicsBody::position() const
{
    return m_body.GetPosition();
}

float PhysicsBody::angle() const
{
    return m_body.GetAngle();
}

b2Vec2 PhysicsBody::world_center() const
{
    return m_body.GetWorldCenter();
}

b2Vec2 PhysicsBody::linear_velocity() const
{
    return m_body.GetLinearVelocity();
}

void PhysicsBody::set_linear_velocity(const b2Vec2& velocity)
{
    if (!is_finite(velocity)) {
        KQ_PHYSICS_ERROR("velocity refused: not finite");
        return;
    }
    if (!m_frozen)
        m_body.SetLinearVelocity(velocity);
}

float PhysicsBody::angular_velocity() const
{
    return m_body.GetAngularVelocity();
}

void PhysicsBody::set_angular_velocity(float velocity)
{
    if (!is_finite(velocity)) {
        KQ_PHYSICS_ERROR("angular velocity refused: not finite");
        return;
    }
    if (!m_frozen)
        m_body.SetAngularVelocity(velocity);
}

void PhysicsBody::apply_force(const b2Vec2& force, const b2Vec2& point)
{
    if (!is_finite(force) || !is_finite(point)) {
        KQ_PHYSICS_ERROR("force refused: not finite");
        return;
    }
    if (m_frozen)
        return;
    wake_up();
    m_force += force;
    m_torque += b2Cross(point - m_body.GetWorldCenter(), force);
}

void PhysicsBody::apply_torque(float torque)
{
    if (!is_finite(torque)) {
        KQ_PHYSICS_ERROR("torque refused: not finite");
        return;
    }
    if (m_frozen)
        return;
    wake_up();
    m_torque += torque;
}

void PhysicsBody::apply_impulse(const b2Vec2& impulse, const b2Vec2& point)
{
    if (!is_finite(impulse) || !is_finite(point)) {
        KQ_PHYSICS_ERROR("impulse refused: not finite");
        return;
    }
    if (m_frozen)
        return;
    m_body.ApplyLinearImpulse(impulse, point, true);
}

void PhysicsBody::wake_up()
{
    m_body.SetAwake(true);
}

bool PhysicsBody::is_sleeping() const
{
    return !m_body.IsAwake();
}

bool PhysicsBody::is_static() const
{
    return m_body.GetType() == b2_staticBody;
}

bool PhysicsBody::is_bullet() const
{
    return m_body.IsBullet();
}

void PhysicsBody::integrate_velocity(float h, const b2Vec2& gravity)
{
    b2Vec2 v = m_body.GetLinearVelocity();
    float w = m_body.GetAngularVelocity();
    v += h * (gravity + m_inv_mass * m_force);
    w += h * m_inv_inertia * m_torque;
    m_force.SetZero();
    m_torque = 0.0f;

    v *= b2Clamp(1.0f - h * m_linear_damping, 0.0f, 1.0f);
    w *= b2Clamp(1.0f - h * m_angular_damping, 0.0f, 1.0f);
    if (!is_finite(v) || !is_finite(w)) {
        KQ_PHYSICS_ERROR("speed overflowed; the body is stopped");
        v.SetZero();
        w = 0.0f;
    }

    constexpr float max_speed = PhysicsWorld::max_linear_speed;
    if (v.LengthSquared() > max_speed * max_speed) {
        // In double precision: the squared length of a finite float speed may overflow.
        const double scale = max_speed / std::hypot(double(v.x), double(v.y));
        v.Set(float(v.x * scale), float(v.y * scale));
    }
    if (std::abs(w) > PhysicsWorld::max_angular_speed)
        w = std::copysign(PhysicsWorld::max_angular_speed, w);

    m_body.SetLinearVelocity(v);
    m_body.SetAngularVelocity(w);
}

bool PhysicsBody::swept_inside_box() const
{
    // Box2D keeps the bounds each shape swept over its last step with the shape.
    for (const auto& shape : m_shapes)
        if (!boxes_overlap(shape->fixture().GetAABB(0), m_world.box()))
            return false;
    return true;
}

void PhysicsBody::freeze()
{
    m_frozen = true;
    m_force.SetZero();
    m_torque = 0.0f;
    m_body.SetLinearVelocity(b2Vec2(0.0f, 0.0f));
    m_body.SetAngularVelocity(0.0f);
    m_body.SetEnabled(false);
}

}
