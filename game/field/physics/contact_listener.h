#pragma once

#include <vector>

#include "engine/base/vector2.h"
#include "game/field/physics/physics_contact.h"

namespace kq {

/// What an item is told of one contact, in pixels: the impulses' sizes, the place, and the
/// normal pointing from this item towards the other.
struct ContactInfo
{
    float normal_impulse = 0.0f;
    float tangent_impulse = 0.0f;
    Vector2<float> position;
    Vector2<float> normal;
};

/// The field's contact listener: it only records the solver's results while the world
/// steps, in the order they come, so that the field hands them to the items after the step,
/// when bodies may change again. The vector keeps its capacity when emptied, so recording
/// allocates nothing once it has grown.
class ContactListener : public PhysicsContactListener
{
public:
    /// Appends a copy of the result.
    void result(const ContactResult& result) override { m_results.push_back(result); }

    /// The results recorded since the last `clear`, in the order reported.
    const std::vector<ContactResult>& results() const { return m_results; }
    /// Forgets the results, keeping the vector's capacity.
    void clear() { m_results.clear(); }

private:
    std::vector<ContactResult> m_results;
};

}
