#pragma once

#include <cstdint>
#include <memory>

#include "engine/base/vector2.h"

namespace kq {

/// Anything particles can be attracted to. It owns a cell holding its own address; movers keep
/// weak references to the cell, which expire when the target is destroyed.
class ParticleTarget
{
public:
    /// A weak reference to a target, empty once the target is gone.
    using WeakRef = std::weak_ptr<ParticleTarget*>;

    ParticleTarget() : m_self(std::make_shared<ParticleTarget*>(this)) {}
    /// A copy is a target of its own: it gets a new cell, nothing of the source's.
    ParticleTarget(const ParticleTarget&) : ParticleTarget() {}
    ParticleTarget& operator=(const ParticleTarget&) { return *this; }
    /// Releases the cell, so that weak references expire.
    virtual ~ParticleTarget() = default;

    /// An index chosen for one new particle.
    virtual std::int32_t next_index() = 0;
    /// The attraction point for the index.
    virtual void target_point(std::int32_t index, Vector2<float>& out) = 0;

    /// A weak reference to this target.
    WeakRef self() const { return m_self; }

private:
    std::shared_ptr<ParticleTarget*> m_self;
};

}
