#pragma once

#include "engine/base/type_name.h"
#include "game/field/objects/item.h"

namespace kq {

/// The head of a roller's chain: a plain item until the chain behind it is used up, when the
/// roller makes it burst into fireballs.
class RollerHead : public Item
{
public:
    /// How many fireballs a head bursts into, evenly spread round it.
    static constexpr int fireball_count = 8;

    RollerHead() = default;
    RollerHead(const RollerHead& other) = default;

    /// Bursts the head on its field: the explosion effect "effects.roller_head_explore" at its
    /// place, then eight fireballs ("items.silence_fireball") thrown out from its centre 45
    /// degrees apart, the star turned by a random angle; the head goes. Nothing for a head
    /// that is gone already.
    static void explode(Item& head);
};

}

KQ_TYPE_NAME(kq::RollerHead, "class kq::RollerHead");
