#pragma once

#include <box2d/b2_math.h>

#include <memory>
#include <vector>

#include "game/field/physics/physics_shape.h"

class b2Body;

namespace kq {

class Item;
class PhysicsWorld;

/// What a new body starts with; lengths in metres, angles in radians, damping per second.
struct BodyDef
{
    /// The item the body carries; contact results name it.
    Item* user_data = nullptr;
    b2Vec2 position{0.0f, 0.0f};
    float angle = 0.0f;
    /// Speeds lose h x damping of themselves in a step of h seconds (never below 0).
    float linear_damping = 0.0f;
    float angular_damping = 0.0f;
    bool allow_sleep = true;
    bool is_sleeping = false;
    /// Continuous collision against moving bodies as well as static ones.
    bool is_bullet = false;
};

/// A rigid body of a `PhysicsWorld`, owned by the world: made by `PhysicsWorld::create_body`,
/// destroyed by `PhysicsWorld::destroy_body` or with the world. A body is static (it never
/// moves by itself) until `set_mass_from_shapes` finds mass in its shapes.
///
/// A body whose shapes leave the world's box is frozen for good: it stops, meets nothing and
/// refuses every move. Positions, forces and impulses are in metres, kilograms and seconds;
/// no operation may run during a step (inside a contact report), and one that is tried there
/// is logged and refused.
class PhysicsBody
{
public:
    PhysicsBody(PhysicsWorld& world, b2Body& body, const BodyDef& def);
    PhysicsBody(const PhysicsBody&) = delete;
    PhysicsBody& operator=(const PhysicsBody&) = delete;
    ~PhysicsBody();

    /// Adds a shape; null, with a line in the "error" log, when the definition holds a value
    /// Box2D cannot take (not finite, a negative density or friction, a zero radius, a
    /// polygon without area). The body's mass changes only at `set_mass_from_shapes`.
    PhysicsShape* create_shape(const ShapeDef& def);
    /// Computes mass, centre of mass and rotational inertia from the shapes' densities; a body
    /// whose shapes all have density 0 becomes (or stays) static.
    void set_mass_from_shapes();

    /// Moves the body's origin to the position and angle. False, and the body not moved,
    /// when the body is frozen or a value is not finite; a move that takes the body's shapes
    /// out of the world's box freezes it there and gives false too.
    bool set_xform(const b2Vec2& position, float angle);

    /// The world position of the body's origin.
    b2Vec2 position() const;
    /// The body's angle.
    float angle() const;
    /// The world position of the centre of mass.
    b2Vec2 world_center() const;

    /// Speed of the centre of mass.
    b2Vec2 linear_velocity() const;
    /// Sets the speed of the centre of mass (ignored when frozen or not finite).
    void set_linear_velocity(const b2Vec2& velocity);
    /// Angular speed, radians per second.
    float angular_velocity() const;
    /// Sets the angular speed (ignored when frozen or not finite).
    void set_angular_velocity(float velocity);

    /// Mass; 0 for a static body.
    float mass() const { return m_mass; }
    /// 1 / mass; 0 for a static body.
    float inv_mass() const { return m_inv_mass; }
    /// Rotational inertia about the centre of mass; 0 when the body cannot turn.
    float inertia() const { return m_inertia; }
    /// 1 / inertia; 0 when the body cannot turn.
    float inv_inertia() const { return m_inv_inertia; }
    /// Linear damping of the definition.
    float linear_damping() const { return m_linear_damping; }
    /// Angular damping of the definition.
    float angular_damping() const { return m_angular_damping; }

    /// Sum of the forces applied since the last step.
    const b2Vec2& force() const { return m_force; }
    /// Sum of the torques of those forces about the centre of mass.
    float torque() const { return m_torque; }
    /// Adds a force at a world point, acting through the next step; wakes the body.
    void apply_force(const b2Vec2& force, const b2Vec2& point);
    /// Adds a torque, acting through the next step; wakes the body.
    void apply_torque(float torque);
    /// Changes the speeds at once by an impulse at a world point; wakes the body.
    void apply_impulse(const b2Vec2& impulse, const b2Vec2& point);

    /// Wakes a sleeping body.
    void wake_up();
    /// True when the body sleeps (only in a world that lets bodies sleep).
    bool is_sleeping() const;
    /// True once the body left the world's box.
    bool is_frozen() const { return m_frozen; }
    /// True when the body has no mass and never moves by itself.
    bool is_static() const;
    /// True when the body uses continuous collision against moving bodies.
    bool is_bullet() const;

    /// The item the body carries.
    Item* user_data() const { return m_user_data; }
    /// The world that owns the body.
    PhysicsWorld& world() const { return m_world; }
    /// The body's shapes, in the order they were made.
    const std::vector<std::unique_ptr<PhysicsShape>>& shapes() const { return m_shapes; }

    /// The Box2D body behind this one, for the world.
    b2Body& native() const { return m_body; }

private:
    friend class PhysicsWorld;

    // The velocity stage of one frame: forces, damping and the speed caps.
    void integrate_velocity(float h, const b2Vec2& gravity);
    // False when the bounds some shape swept over the last Box2D step lie wholly outside
    // the world's box.
    bool swept_inside_box() const;
    // Stops the body and takes it out of the simulation for good.
    void freeze();

    PhysicsWorld& m_world;
    b2Body& m_body;
    Item* m_user_data;
    std::vector<std::unique_ptr<PhysicsShape>> m_shapes;
    b2Vec2 m_force{0.0f, 0.0f};
    float m_torque = 0.0f;
    float m_linear_damping = 0.0f;
    float m_angular_damping = 0.0f;
    float m_mass = 0.0f;
    float m_inv_mass = 0.0f;
    float m_inertia = 0.0f;
    float m_inv_inertia = 0.0f;
    bool m_frozen = false;
};

}
