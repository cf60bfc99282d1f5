#pragma once

#include "engine/base/type_name.h"
#include "game/field/effects/curve_particle_effect.h"

namespace kq {

/// The effect of powerups gained with animation: its curves appear large about the screen's
/// centre, turn once while shrinking, hold, then rise to the top edge while shrinking away. The
/// field adds the powerups when its finish signal comes.
class PowerupAddEffect : public CurveParticleEffect
{
public:
    /// Places the curves for the phase of the governing timer, then runs the effect.
    void update(const TimeStamp& stamp) override;
};

/// Where the curves stand at phase p of the effect.
struct CurvePlacement
{
    Vector2<float> centre;
    float scale = 0.0f;
    float angle = 0.0f;  ///< radians
};

/// The placement of the curves at phase p in [0, 1].
CurvePlacement powerup_add_placement(float p);

}

KQ_TYPE_NAME(kq::PowerupAddEffect, "class kq::PowerupAddEffect");
