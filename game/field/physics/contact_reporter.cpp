#include "game/field/physics/contact_reporter.h"

#include <box2d/b2_body.h>
#include <box2d/b2_contact.h>
#include <box2d/b2_fixture.h>

#include <algorithm>

#include "game/field/physics/physics_body.h"

namespace kq {

namespace {

PhysicsShape* shape_of(b2Fixture* fixture)
{
    return reinterpret_cast<PhysicsShape*>(fixture->GetUserData().pointer);
}

Item* item_of(b2Fixture* fixture)
{
    return reinterpret_cast<PhysicsBody*>(fixture->GetBody()->GetUserData().pointer)->user_data();
}

}

std::size_t ContactReporter::PointKeyHash::operator()(const PointKey& key) const
{
    const auto a = reinterpret_cast<std::uintptr_t>(key.fixture1);
    const auto b = reinterpret_cast<std::uintptr_t>(key.fixture2);
    return std::hash<std::uintptr_t>()(a * 31 + b) ^ (std::size_t(key.id) * 0x9E3779B97F4A7C15ull);
}

void ContactReporter::set_listener(PhysicsContactListener* listener)
{
    m_listener = listener;
    m_touching.clear();
    m_results.clear();
    m_result_index.clear();
}

void ContactReporter::report_points(b2Contact& contact, const b2Manifold& manifold,
                                    const b2PointState* states, b2PointState wanted)
{
    if (states && std::none_of(states, states + manifold.pointCount, [&](b2PointState s) { return s == wanted; }))
        return;
    b2Fixture* fixture1 = contact.GetFixtureA();
    b2Fixture* fixture2 = contact.GetFixtureB();
    b2Body* body1 = fixture1->GetBody();
    b2Body* body2 = fixture2->GetBody();
    b2WorldManifold world;
    world.Initialize(&manifold, body1->GetTransform(), fixture1->GetShape()->m_radius,
                     body2->GetTransform(), fixture2->GetShape()->m_radius);
    for (int i = 0; i < manifold.pointCount; ++i) {
        if (states && states[i] != wanted)
            continue;
        ContactPoint point;
        point.shape1 = shape_of(fixture1);
        point.shape2 = shape_of(fixture2);
        point.position = world.points[i];
        point.velocity = body2->GetLinearVelocityFromWorldPoint(point.position)
                       - body1->GetLinearVelocityFromWorldPoint(point.position);
        point.normal = world.normal;
        point.separation = world.separations[i];
        point.friction = contact.GetFriction();
        point.restitution = contact.GetRestitution();
        point.id = manifold.points[i].id.key;
        switch (wanted) {
        case b2_addState: m_listener->add(point); break;
        case b2_persistState: m_listener->persist(point); break;
        default: m_listener->remove(point); break;
        }
    }
}

void ContactReporter::EndContact(b2Contact* contact)
{
    const auto found = m_touching.find(contact);
    if (found == m_touching.end())
        return;
    const b2Manifold last = found->second;
    m_touching.erase(found);
    if (m_listener)
        report_points(*contact, last, nullptr, b2_removeState);
}

void ContactReporter::PreSolve(b2Contact* contact, const b2Manifold* old_manifold)
{
    if (!m_listener)
        return;
    const b2Manifold& manifold = *contact->GetManifold();
    b2PointState old_states[b2_maxManifoldPoints];
    b2PointState new_states[b2_maxManifoldPoints];
    b2GetPointStates(old_states, new_states, old_manifold, &manifold);
    report_points(*contact, *old_manifold, old_states, b2_removeState);
    report_points(*contact, manifold, new_states, b2_addState);
    report_points(*contact, manifold, new_states, b2_persistState);
    m_touching[contact] = manifold;
}

void ContactReporter::PostSolve(b2Contact* contact, const b2ContactImpulse* impulse)
{
    if (!m_listener)
        return;
    b2Fixture* fixture1 = contact->GetFixtureA();
    b2Fixture* fixture2 = contact->GetFixtureB();
    const b2Manifold& manifold = *contact->GetManifold();
    b2WorldManifold world;
    contact->GetWorldManifold(&world);
    for (int i = 0; i < manifold.pointCount && i < impulse->count; ++i) {
        const PointKey key{fixture1, fixture2, manifold.points[i].id.key};
        const auto [found, added] = m_result_index.try_emplace(key, m_results.size());
        if (added) {
            ContactResult& result = m_results.emplace_back();
            result.shape1 = shape_of(fixture1);
            result.shape2 = shape_of(fixture2);
            result.item1 = item_of(fixture1);
            result.item2 = item_of(fixture2);
            result.id = key.id;
        }
        ContactResult& result = m_results[found->second];
        result.position = world.points[i];
        result.normal = world.normal;
        result.normal_impulse += impulse->normalImpulses[i];
        result.tangent_impulse += impulse->tangentImpulses[i];
    }
}

void ContactReporter::deliver_results()
{
    if (m_listener)
        for (const ContactResult& result : m_results)
            m_listener->result(result);
    m_results.clear();
    m_result_index.clear();
}

}
