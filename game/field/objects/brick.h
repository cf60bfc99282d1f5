#pragma once

#include "engine/base/type_name.h"
#include "game/field/objects/item.h"

namespace kq {

/// A brick worn down by hard hits: every hit harder than a twentieth of its full integrity
/// takes that much of it, the brick shows a more damaged frame of its animation as its
/// integrity falls, and it breaks with an effect when nothing is left.
class Brick : public Item
{
public:
    Brick() = default;
    Brick(const Brick& other) = default;

    /// The hit's sound, then the wear by the contact's normal impulse.
    void on_contact(Item& other, const ContactInfo& info) override;
    /// The item's keys, then the required "integrity", which is also the full integrity.
    void read_skin(const SkinPath& path) override;

    /// The animation frame shown at the integrity out of `frames` (at least 1): 0 when whole,
    /// more damaged frames as it falls, the last one for any remainder below 1/frames, and for
    /// a brick whose full integrity is 0 or less.
    int frame_for(int frames) const;

    float integrity() const { return m_integrity; }
    float full_integrity() const { return m_full_integrity; }

private:
    float m_integrity = 1.0f;
    float m_full_integrity = 1.0f;
};

}

KQ_TYPE_NAME(kq::Brick, "class kq::Brick");
