#pragma once

#include "engine/art/image_sprite.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/platform/sample.h"
#include "engine/res/res_handle.h"
#include "game/field/objects/item.h"

namespace kq {

/// A whirlwind: it wanders along a looping rosette around the point where it was put,
/// spins, plays a looping sound panned to follow it, and swirls every item on or near the
/// ground inside its radius (half its size) round its centre and towards it.
class Whirlwind : public Item
{
public:
    Whirlwind() = default;
    Whirlwind(const Whirlwind& other) = default;

    /// The body's angle plus the spin: the whirlwind is drawn turning while its body does not.
    float angle() const override;
    /// Builds the body, remembers its position as home and starts the looping sound at a
    /// random place of the sample.
    void build_body(const ItemPlacement& placement) override;
    /// The item's drawing; the first pass also draws the turning eye under it.
    void draw(int pass, Artist& artist) override;
    /// Wanders, spins, swirls the items within reach and pans the sound after the body.
    void update(int dt) override;
    /// The item's keys, then "tang_force", "radial_force", "omega" (degrees a second),
    /// "moved", "sample", "centre" and "move_factor", each required.
    void read_skin(const SkinPath& path) override;

    /// The force of the swirl on an item `d` pixels away from the centre (centre - item);
    /// none beyond the radius, and none at the very centre, where there is no direction.
    Vector2<float> swirl_force(const Vector2<float>& d) const;
    /// Where the wanderer stands on its curve at the field time, pixels.
    Vector2<float> wander_point(int field_time) const;

    float tangential_force() const { return m_tang_force; }
    float radial_force() const { return m_radial_force; }
    float spin_speed() const { return m_omega; }
    bool moved() const { return m_moved; }
    int move_factor() const { return m_move_factor; }
    float spin_angle() const { return m_spin_angle; }
    float centre_angle() const { return m_centre_angle; }
    const Vector2<float>& home() const { return m_home; }
    const ImageSprite& centre() const { return m_centre; }
    /// The rush it plays, looping, for as long as it lives.
    const ResHandle<Sample>& sample() const { return m_sample; }

private:
    void swirl(Item& item, const Vector2<float>& centre);

    float m_tang_force = 1000.0f;
    float m_radial_force = 1000.0f;
    float m_omega = 0.0f;
    bool m_moved = false;
    int m_move_factor = 0;
    ResHandle<Sample> m_sample;
    ImageSprite m_centre;
    float m_spin_angle = 0.0f;
    float m_centre_angle = 0.0f;
    Vector2<float> m_home;
};

}

KQ_TYPE_NAME(kq::Whirlwind, "class kq::Whirlwind");
