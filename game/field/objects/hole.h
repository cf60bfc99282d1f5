#pragma once

#include "engine/base/type_name.h"
#include "engine/platform/sample.h"
#include "engine/res/res_handle.h"
#include "game/field/objects/item.h"

namespace kq {

/// A hole in the ground: an item resting over it is drawn towards its centre, and one that
/// lies wholly within its inner area (its size less the border on each side) falls in, with a
/// sound. Only round and rectangular holes act.
class Hole : public Item
{
public:
    Hole() = default;
    Hole(const Hole& other) = default;

    /// Draws in or swallows every item of the field.
    void update(int dt) override;
    /// The item's keys, then the optional "border" and "fall_sample".
    void read_skin(const SkinPath& path) override;

    float border() const { return m_border; }
    const ResHandle<Sample>& fall_sample() const { return m_fall_sample; }

private:
    void swallow(Item& item);
    bool holds(const Item& item, const Vector2<float>& inner) const;

    float m_border = 0.0f;
    ResHandle<Sample> m_fall_sample;
};

}

KQ_TYPE_NAME(kq::Hole, "class kq::Hole");
