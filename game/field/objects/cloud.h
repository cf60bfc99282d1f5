#pragma once

#include "engine/base/type_name.h"
#include "engine/base/weak_ptr.h"
#include "engine/platform/sample.h"
#include "engine/res/res_handle.h"
#include "game/field/objects/item.h"

namespace kq {

/// A soft cloud that appears with a sound, drifts towards a game piece picked at random
/// (nearer pieces likelier), breathes, and after its life in turns fades out over two seconds
/// and goes.
class Cloud : public Item
{
public:
    Cloud() = default;
    Cloud(const Cloud& other) = default;

    /// The item's scale, stretched and squeezed by the breath of the field's clock.
    Vector2<float> scale() const override;
    /// The item's opacity, faded out over 2000 ms once the cloud's life is over.
    float opacity() const override;
    /// Builds the body, plays the appear sound panned to the cloud and picks a target.
    void build_body(const ItemPlacement& placement) override;
    /// Counts the turn; the turn that ends the cloud's life starts its fade. Picks a new
    /// target.
    void on_turn_end() override;
    /// Goes once faded; without a live target looks for one, else drifts towards it with a
    /// force of 12000 while it is 100 pixels away or more.
    void update(int dt) override;
    /// The item's keys, then "appear_sample" and "life", each required.
    void read_skin(const SkinPath& path) override;

    /// Picks a piece of the field as the target, each with the weight 1/distance (a piece on
    /// the cloud's centre weighs nothing); the last piece when none weighs; nothing without
    /// pieces.
    void pick_target();

    Item* target() const { return m_target.get(); }
    const ResHandle<Sample>& appear_sample() const { return m_appear_sample; }
    int life() const { return m_life; }
    int turns_lived() const { return m_turns_lived; }
    int fade_start() const { return m_fade_start; }

private:
    WeakPtr<Item> m_target;
    ResHandle<Sample> m_appear_sample;
    int m_life = 1;
    int m_turns_lived = 0;
    int m_fade_start = -1;
};

}

KQ_TYPE_NAME(kq::Cloud, "class kq::Cloud");
