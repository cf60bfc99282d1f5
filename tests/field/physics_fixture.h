#pragma once

#include <memory>
#include <vector>

#include "game/field/physics/physics_world.h"

namespace kq::test {

/// The field's world box in metres: the screen widened by 60 m left and right, 30 m up and
/// down.
inline b2AABB field_box()
{
    b2AABB box;
    box.lowerBound.Set(-60.0f, -30.0f);
    box.upperBound.Set(162.4f, 106.8f);
    return box;
}

/// A field-like world: the field's box, no gravity, no sleeping.
inline std::unique_ptr<PhysicsWorld> make_world()
{
    return std::make_unique<PhysicsWorld>(field_box(), b2Vec2(0.0f, 0.0f), false);
}

/// What a body of the tests is made of.
struct BodySpec
{
    b2Vec2 position{0.0f, 0.0f};
    float density = 1.0f;
    float linear_damping = 0.0f;
    float angular_damping = 0.0f;
    float restitution = 0.0f;
    float friction = 0.2f;
    Item* item = nullptr;
};

inline PhysicsBody* make_body(PhysicsWorld& world, const BodySpec& spec, const ShapeDef& shape)
{
    BodyDef def;
    def.user_data = spec.item;
    def.position = spec.position;
    def.linear_damping = spec.linear_damping;
    def.angular_damping = spec.angular_damping;
    def.is_bullet = true;
    PhysicsBody* body = world.create_body(def);
    body->create_shape(shape);
    body->set_mass_from_shapes();
    return body;
}

/// A bullet circle body of the radius.
inline PhysicsBody* make_circle(PhysicsWorld& world, const BodySpec& spec, float radius)
{
    CircleDef circle;
    circle.radius = radius;
    circle.density = spec.density;
    circle.restitution = spec.restitution;
    circle.friction = spec.friction;
    return make_body(world, spec, circle);
}

/// A bullet box body of the half extents.
inline PhysicsBody* make_box(PhysicsWorld& world, const BodySpec& spec, float hx, float hy)
{
    PolygonDef box;
    box.set_as_box(hx, hy);
    box.density = spec.density;
    box.restitution = spec.restitution;
    box.friction = spec.friction;
    return make_body(world, spec, box);
}

/// Keeps every report of a world's contacts.
struct ContactLog : PhysicsContactListener
{
    void add(const ContactPoint& point) override { added.push_back(point); }
    void persist(const ContactPoint& point) override { persisted.push_back(point); }
    void remove(const ContactPoint& point) override { removed.push_back(point); }
    void result(const ContactResult& result) override { results.push_back(result); }

    void clear()
    {
        added.clear();
        persisted.clear();
        removed.clear();
        results.clear();
    }

    std::vector<ContactPoint> added;
    std::vector<ContactPoint> persisted;
    std::vector<ContactPoint> removed;
    std::vector<ContactResult> results;
};

/// A distinct, never dereferenced item pointer for the tests' bodies.
inline Item* fake_item(int n)
{
    static char cells[16];
    return reinterpret_cast<Item*>(&cells[n]);
}

}
