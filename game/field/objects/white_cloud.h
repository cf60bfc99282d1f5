#pragma once

#include "engine/base/type_name.h"
#include "game/field/objects/item.h"

namespace kq {

/// A cloud drifting across the screen from left to right at a random speed; once it has left
/// on the right it comes back in from the left at a new random height and speed.
class WhiteCloud : public Item
{
public:
    WhiteCloud() = default;
    WhiteCloud(const WhiteCloud& other) = default;

    /// Builds the body, then puts it at a random place and sets it drifting.
    void build_body(const ItemPlacement& placement) override;
    /// Brings the cloud back in on the left once it is wholly off the right edge.
    void update(int dt) override;

    float min_speed() const { return m_min_speed; }
    float max_speed() const { return m_max_speed; }

private:
    void start_drifting();

    float m_min_speed = 15.0f;
    float m_max_speed = 100.0f;
};

}

KQ_TYPE_NAME(kq::WhiteCloud, "class kq::WhiteCloud");
