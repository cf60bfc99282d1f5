#include "game/field/physics/physics_world.h"

#include <box2d/b2_body.h>
#include <box2d/b2_common.h>
#include <box2d/b2_fixture.h>
#include <box2d/b2_world.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "game/field/physics/physics_check.h"

namespace kq {

namespace {

// Box2D slows a body that would move more than b2_maxTranslation or turn more than
// b2_maxRotation in one step. A sub-step is kept to half of that, so that a collision inside
// it may double a speed (a heavy body striking a light one) without being cut.
constexpr double substep_translation = 0.5 * b2_maxTranslation;
constexpr double substep_rotation = 0.5 * b2_maxRotation;

PhysicsBody& body_of(b2Body* body)
{
    return *reinterpret_cast<PhysicsBody*>(body->GetUserData().pointer);
}

float checked(float value, const char* what)
{
    if (is_finite(value))
        return value;
    KQ_PHYSICS_ERROR(what);
    return 0.0f;
}

float checked_damping(float value, const char* what)
{
    if (is_finite(value) && value >= 0.0f)
        return value;
    KQ_PHYSICS_ERROR(what);
    return 0.0f;
}

}

PhysicsWorld::PhysicsWorld(const b2AABB& box, const b2Vec2& gravity, bool do_sleep)
    : m_box(box)
    , m_gravity(gravity)
    , m_world(std::make_unique<b2World>(b2Vec2(0.0f, 0.0f)))
{
    if (!is_finite(box.lowerBound) || !is_finite(box.upperBound) || !boxes_overlap(box, box))
        KQ_PHYSICS_ERROR("world box empty or not finite; every body will freeze");
    if (!is_finite(gravity)) {
        KQ_PHYSICS_ERROR("gravity not finite; taken as 0");
        m_gravity.SetZero();
    }
    m_world->SetAllowSleeping(do_sleep);
}

PhysicsWorld::~PhysicsWorld()
{
    std::vector<PhysicsBody*> bodies;
    for (b2Body* body = m_world->GetBodyList(); body; body = body->GetNext())
        bodies.push_back(&body_of(body));
    m_world.reset();
    for (PhysicsBody* body : bodies)
        delete body;
}

PhysicsBody* PhysicsWorld::create_body(const BodyDef& def)
{
    if (is_locked()) {
        KQ_PHYSICS_ERROR("a body cannot be made during a step");
        return nullptr;
    }
    BodyDef clean = def;
    clean.position.x = checked(def.position.x, "body position not finite; taken as 0");
    clean.position.y = checked(def.position.y, "body position not finite; taken as 0");
    clean.angle = checked(def.angle, "body angle not finite; taken as 0");
    clean.linear_damping = checked_damping(def.linear_damping, "linear damping negative or not finite; taken as 0");
    clean.angular_damping = checked_damping(def.angular_damping, "angular damping negative or not finite; taken as 0");

    // Damping stays with the adapter, which applies it once per step.
    b2BodyDef native;
    native.type = b2_staticBody;
    native.position = clean.position;
    native.angle = clean.angle;
    native.allowSleep = clean.allow_sleep;
    native.awake = !clean.is_sleeping;
    native.bullet = clean.is_bullet;
    b2Body* made = m_world->CreateBody(&native);
    auto* body = new PhysicsBody(*this, *made, clean);
    made->GetUserData().pointer = reinterpret_cast<uintptr_t>(body);
    return body;
}

void PhysicsWorld::destroy_body(PhysicsBody* body)
{
    if (!body)
        return;
    if (is_locked()) {
        KQ_PHYSICS_ERROR("a body cannot be destroyed during a step");
        return;
    }
    m_world->DestroyBody(&body->native());
    delete body;
}

void PhysicsWorld::refilter(PhysicsShape* shape)
{
    if (!shape)
        return;
    if (is_locked()) {
        KQ_PHYSICS_ERROR("a shape cannot be refiltered during a step");
        return;
    }
    shape->fixture().Refilter();
}

void PhysicsWorld::set_contact_listener(PhysicsContactListener* listener)
{
    m_reporter.set_listener(listener);
    m_world->SetContactListener(listener ? &m_reporter : nullptr);
}

void PhysicsWorld::step(float dt, int iterations)
{
    if (is_locked()) {
        KQ_PHYSICS_ERROR("the world cannot step inside its own step");
        return;
    }
    if (!is_finite(dt) || dt < 0.0f) {
        KQ_PHYSICS_ERROR("step refused: time negative or not finite");
        return;
    }
    if (iterations < 1) {
        KQ_PHYSICS_ERROR("step of fewer than 1 iteration runs 1");
        iterations = 1;
    }

    if (dt > 0.0f)
        integrate_velocities(dt);
    m_last_substeps = 0;
    float remaining = dt;
    for (;;) {
        const int count = std::min(substeps_needed(remaining), max_substeps - m_last_substeps);
        const float h = count <= 1 ? remaining : remaining / float(count);
        m_world->Step(h, iterations, iterations);
        ++m_last_substeps;
        freeze_escaped_bodies();
        if (count <= 1)
            break;
        remaining -= h;
    }
    m_reporter.deliver_results();
}

int PhysicsWorld::body_count() const
{
    return m_world->GetBodyCount();
}

bool PhysicsWorld::is_locked() const
{
    return m_world->IsLocked();
}

int PhysicsWorld::substeps_needed(float remaining) const
{
    float max_speed_squared = 0.0f;
    float max_spin = 0.0f;
    for (const b2Body* body = std::as_const(*m_world).GetBodyList(); body; body = body->GetNext()) {
        if (body->GetType() != b2_dynamicBody || !body->IsEnabled())
            continue;
        max_speed_squared = std::max(max_speed_squared, body->GetLinearVelocity().LengthSquared());
        max_spin = std::max(max_spin, std::abs(body->GetAngularVelocity()));
    }
    const double rate = std::max(std::sqrt(double(max_speed_squared)) / substep_translation,
                                 double(max_spin) / substep_rotation);
    // The margin of the sub-step limits absorbs rounding: 200 m/s over 0.05 s is 10 sub-steps.
    const double needed = std::ceil(rate * remaining * (1.0 - 1e-6));
    return needed < double(max_substeps) ? int(needed) : max_substeps;
}

void PhysicsWorld::integrate_velocities(float dt)
{
    for (b2Body* native = m_world->GetBodyList(); native; native = native->GetNext()) {
        PhysicsBody& body = body_of(native);
        if (native->GetType() == b2_dynamicBody && !body.is_frozen() && native->IsAwake()) {
            body.integrate_velocity(dt, m_gravity);
        } else {
            body.m_force.SetZero();
            body.m_torque = 0.0f;
        }
    }
}

void PhysicsWorld::freeze_escaped_bodies()
{
    for (b2Body* native = m_world->GetBodyList(); native; native = native->GetNext()) {
        PhysicsBody& body = body_of(native);
        if (native->GetType() == b2_dynamicBody && !body.is_frozen() && !body.swept_inside_box())
            body.freeze();
    }
}

}
