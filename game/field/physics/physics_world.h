#pragma once

#include <box2d/b2_collision.h>
#include <box2d/b2_math.h>

#include <memory>

#include "game/field/physics/contact_reporter.h"
#include "game/field/physics/physics_body.h"
#include "game/field/physics/physics_contact.h"

class b2World;

namespace kq {

/// The field's rigid-body world in metres, kilograms and seconds, on Box2D.
///
/// What it promises beyond Box2D's own behaviour:
/// - a box: a moving body is frozen for good (see `PhysicsBody`) when the bounds one of its
///   shapes swept over a step, or over a sub-step of it, lie wholly outside the box;
/// - speed caps of `max_linear_speed` and `max_angular_speed` whatever the step's length: a
///   step is cut into sub-steps short enough that no body moves far enough in one of them
///   for Box2D to slow it down (at most `max_substeps` of them);
/// - forces, torques and damping act once per step, before any movement: speeds gain
///   h x force / mass, then lose h x damping of themselves (never more than all);
/// - a body whose shapes all have density 0 is static;
/// - contact results once per point and step, the impulses of the sub-steps summed;
/// - values Box2D would abort on are refused and logged to "error", never passed on.
///
/// The world owns its bodies; nothing may change it while it steps.
class PhysicsWorld
{
public:
    /// Speeds above these are cut back at the start of every step.
    static constexpr float max_linear_speed = 200.0f;
    static constexpr float max_angular_speed = 250.0f;
    /// The most sub-steps one step is cut into.
    static constexpr int max_substeps = 32;

    /// An empty world with this box and gravity; bodies may sleep when `do_sleep` is true.
    PhysicsWorld(const b2AABB& box, const b2Vec2& gravity, bool do_sleep);
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;
    /// Destroys every body still in the world without telling the contact listener.
    ~PhysicsWorld();

    /// A new static body (see `PhysicsBody::set_mass_from_shapes`); values of the definition
    /// that are not finite, and negative damping, are logged and taken as 0. Null only when
    /// called during a step.
    PhysicsBody* create_body(const BodyDef& def);
    /// Destroys the body and its shapes; the listener is told of the points they lose.
    void destroy_body(PhysicsBody* body);
    /// Makes the shape's current filter decide its contacts from the next step on.
    void refilter(PhysicsShape* shape);
    /// The listener told of contacts from now on (null: nobody); not owned.
    void set_contact_listener(PhysicsContactListener* listener);

    /// Advances the world by `dt` seconds, `iterations` solver rounds for speeds and as many
    /// for positions per sub-step. A `dt` of 0 only updates the contacts.
    void step(float dt, int iterations);

    /// The box outside which bodies freeze.
    const b2AABB& box() const { return m_box; }
    /// Bodies in the world.
    int body_count() const;
    /// How many sub-steps the last step took.
    int last_substep_count() const { return m_last_substeps; }
    /// True while the world steps.
    bool is_locked() const;

private:
    // Sub-steps needed for the rest of a step of `remaining` seconds at the current speeds.
    int substeps_needed(float remaining) const;
    void integrate_velocities(float dt);
    void freeze_escaped_bodies();

    b2AABB m_box;
    b2Vec2 m_gravity;
    std::unique_ptr<b2World> m_world;
    ContactReporter m_reporter;
    int m_last_substeps = 0;
};

}
