#pragma once

#include "engine/art/sprite.h"
#include "engine/base/socket.h"
#include "engine/base/type_name.h"
#include "game/field/effects/curve_particle_target.h"

namespace kq {

/// A sprite whose direct emitter children send their particles to the curves of a target it
/// owns; it tells its finish signal once when its own timer runs out.
class CurveParticleEffect : public Sprite
{
public:
    CurveParticleEffect() = default;
    /// Copies the sprite and the curves; the copy's finish signal has no handlers.
    CurveParticleEffect(const CurveParticleEffect& other) = default;

    /// The sprite's keys, then the curves of the child node "target".
    void read_skin(const SkinPath& path) override;
    /// Starts the sprite and points every direct emitter child at the target.
    void start() override;
    /// Runs the sprite; the first update after the timer ran out tells the finish signal.
    void update(const TimeStamp& stamp) override;

    /// Told once, when the effect's timer has run out.
    Socket<void()>& on_finish() { return m_on_finish; }
    CurveParticleTarget& target() { return m_target; }
    /// Whether the finish signal was told.
    bool has_finished() const { return m_finished; }

protected:
    /// Tells the finish signal.
    virtual void on_timer_end();

private:
    Socket<void()> m_on_finish;
    CurveParticleTarget m_target;
    bool m_finished = false;
};

}

KQ_TYPE_NAME(kq::CurveParticleEffect, "class kq::CurveParticleEffect");
