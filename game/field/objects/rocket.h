#pragma once

#include "engine/art/sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "game/field/objects/item.h"

namespace kq {

class Vimu;

/// A rocket the player sets off with a click: from then on it pushes itself along its heading
/// every update with its fire following it, and when its nose hits something it explodes,
/// setting off every piece of a group close to it and pushing the items on the ground away.
class Rocket : public Item
{
public:
    /// How close to the blast a piece explodes, pixels (strictly closer).
    static constexpr float blast_radius = 140.0f;
    /// The strength of the blast's shock wave.
    static constexpr float blast_strength = 70000.0f;
    /// The thrust along the heading, pixel units.
    static constexpr float thrust = 10000.0f;
    /// A contact is at the nose when the cosine between the heading and the way to it is above
    /// this (within about 18 degrees).
    static constexpr float nose_cosine = 0.95f;

    Rocket() = default;
    /// Copies the item part and the ignition; the fire sprite is shared.
    Rocket(const Rocket& other) = default;

    /// Destroys the body, then takes the fire off the field.
    void destroy_body() override;
    /// The impact sound; an ignited rocket hit on its nose explodes.
    void on_contact(Item& other, const ContactInfo& info) override;
    /// The item's update; an ignited rocket thrusts along its heading and its fire follows it.
    void update(int dt) override;
    /// Ignites the rocket and shows its fire.
    void do_activate() override;
    /// Only a rocket not yet ignited can be clicked.
    bool can_activate() const override { return !m_ignited; }
    /// The item's keys, then the fire sprite at "fire".
    void read_skin(const SkinPath& path) override;

    /// Explodes the item when it is a piece of a group whose body lies strictly within the
    /// radius (pixels) of the rocket's body.
    void blast_piece(Item& item, float radius);

    bool is_ignited() const { return m_ignited; }
    const SharedPtr<Sprite>& fire() const { return m_fire; }

private:
    void explode();

    bool m_ignited = false;
    SharedPtr<Sprite> m_fire;
};

}

KQ_TYPE_NAME(kq::Rocket, "class kq::Rocket");
