#pragma once

#include <box2d/b2_collision.h>
#include <box2d/b2_world_callbacks.h>

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "game/field/physics/physics_contact.h"

namespace kq {

/// Turns Box2D's contact callbacks into `PhysicsContactListener` calls: a point added,
/// persisting or removed as it happens, and the solver's results of a whole frame, which
/// may take several Box2D steps, as one result per point with the impulses summed.
class ContactReporter : public b2ContactListener
{
public:
    /// The listener told from now on; null tells nobody and records nothing.
    void set_listener(PhysicsContactListener* listener);
    PhysicsContactListener* listener() const { return m_listener; }

    void EndContact(b2Contact* contact) override;
    void PreSolve(b2Contact* contact, const b2Manifold* old_manifold) override;
    void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;

    /// Hands the frame's results to the listener in the order the points were first solved,
    /// then forgets them.
    void deliver_results();

private:
    struct PointKey
    {
        const void* fixture1;
        const void* fixture2;
        std::uint32_t id;
        bool operator==(const PointKey&) const = default;
    };
    struct PointKeyHash
    {
        std::size_t operator()(const PointKey& key) const;
    };

    void report_points(b2Contact& contact, const b2Manifold& manifold, const b2PointState* states,
                       b2PointState wanted);

    PhysicsContactListener* m_listener = nullptr;
    // The last manifold of every touching contact, to name the points a contact loses when
    // it stops touching (Box2D has already emptied its manifold then).
    std::unordered_map<const b2Contact*, b2Manifold> m_touching;
    std::vector<ContactResult> m_results;
    std::unordered_map<PointKey, std::size_t, PointKeyHash> m_result_index;
};

}
