#include "game/field/effects/powerup_add_effect.h"

#include <numbers>

#include "engine/art/sprite_timer.h"
#include "engine/base/transform.h"

namespace kq {

CurvePlacement powerup_add_placement(float p)
{
    constexpr float full_turn = 2.0f * std::numbers::pi_v<float>;
    if (p <= 0.1f)
        return {{512, 384}, 24, full_turn};
    if (p <= 0.6f) {
        const float q = (p - 0.1f) * 2.0f;
        return {{512, 384}, 24 - 9 * q, full_turn * (1 - q)};
    }
    if (p <= 0.61f)
        return {{512, 384}, 15, 0};
    // 2.5641 spreads the rise over the last 0.39 of the run.
    const float q = (p - 0.61f) * 2.5641f;
    return {{512, 384 - 384 * q}, 15 - 14.99f * q, 0};
}

void PowerupAddEffect::update(const TimeStamp& stamp)
{
    if (SpriteTimer* timer = find_timer()) {
        const CurvePlacement placement = powerup_add_placement(timer->coefficient());
        target().set_transform(Transform::compose({placement.scale, placement.scale}, -placement.angle,
                                                  placement.centre));
    }
    CurveParticleEffect::update(stamp);
}

}
