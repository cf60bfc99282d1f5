#pragma once

#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "game/field/item.h"

namespace kq {

/// A short-lived projectile: held where it was placed until thrown, it then flies for one
/// second, exploding every piece it overlaps, eight at most before it goes (all those of
/// its last update explode).
class Fireball : public Item
{
public:
    /// Throws the fireball along the direction (not zero) with an impulse of 4000.
    void launch(const Vector2<float>& direction);
    /// The item's update, then, once thrown, the pieces it overlaps explode and its flight
    /// time runs down.
    void update(int dt) override;

    bool is_launched() const { return m_launched; }
    int time_left() const { return m_time_left; }
    int hits_left() const { return m_hits_left; }

private:
    bool m_launched = false;
    int m_time_left = 1000;
    int m_hits_left = 8;
};

}

KQ_TYPE_NAME(kq::Fireball, "class kq::Fireball");
