#pragma once

#include <box2d/b2_math.h>

#include <cstdint>

namespace kq {

class Item;
class PhysicsShape;

/// One point of a contact as the collision stage sees it; metres, seconds.
struct ContactPoint
{
    PhysicsShape* shape1 = nullptr;
    PhysicsShape* shape2 = nullptr;
    b2Vec2 position{0.0f, 0.0f};
    /// Speed of shape2's body at the point relative to shape1's.
    b2Vec2 velocity{0.0f, 0.0f};
    /// Unit normal from shape1 towards shape2.
    b2Vec2 normal{0.0f, 0.0f};
    /// Distance between the shapes at the point; negative when they overlap.
    float separation = 0.0f;
    float friction = 0.0f;
    float restitution = 0.0f;
    /// Names the point among the contact's points from step to step.
    std::uint32_t id = 0;
};

/// What the solver did at one contact point over one world step; metres, newton-seconds.
struct ContactResult
{
    PhysicsShape* shape1 = nullptr;
    PhysicsShape* shape2 = nullptr;
    /// The items of the two shapes' bodies when the point was solved.
    Item* item1 = nullptr;
    Item* item2 = nullptr;
    b2Vec2 position{0.0f, 0.0f};
    /// Unit normal from shape1 towards shape2.
    b2Vec2 normal{0.0f, 0.0f};
    /// Impulses along the normal and along the surface, summed over the step.
    float normal_impulse = 0.0f;
    float tangent_impulse = 0.0f;
    std::uint32_t id = 0;
};

/// Told of contact points while the world steps. `add`, `persist` and `remove` come from
/// inside the step, and nothing may change the world there; `result` comes once per point
/// and step, in the order the solver first met the points, after the step's movement.
/// The defaults do nothing.
class PhysicsContactListener
{
public:
    virtual ~PhysicsContactListener() = default;

    /// A point began to touch.
    virtual void add(const ContactPoint& point) { (void)point; }
    /// A point still touches after a movement.
    virtual void persist(const ContactPoint& point) { (void)point; }
    /// A point stopped touching, or one of its bodies went away or froze.
    virtual void remove(const ContactPoint& point) { (void)point; }
    /// The solver's impulses at a point.
    virtual void result(const ContactResult& result) { (void)result; }
};

}
