#pragma once

#include "engine/art/image_sprite.h"
#include "engine/art/sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "game/field/objects/item.h"

namespace kq {

/// A short-lived projectile: held where it was placed until thrown, it then flies for one
/// second, exploding every piece it overlaps, eight at most before it goes (all those of
/// its last update explode). A flame sprite follows it on the field's effect layer and a
/// halo turns over it both ways.
class Fireball : public Item
{
public:
    Fireball() = default;
    /// Copies every member; the flame sprite is shared, the halo copied.
    Fireball(const Fireball& other) = default;

    /// Throws the fireball along the direction with an impulse of 4000; a zero direction
    /// gives no impulse.
    void launch(const Vector2<float>& direction);
    /// Builds the body, then puts the flame on the field's effect layer.
    void build_body(const ItemPlacement& placement) override;
    /// Takes the flame off the effect layer, then destroys the body.
    void destroy_body() override;
    /// The item's drawing; the highlight pass then draws the halo twice, turning with the
    /// field's clock one way and the other.
    void draw(int pass, Artist& artist) override;
    /// The item's update; the flame follows the body; once thrown, the pieces it overlaps
    /// explode and its flight time runs down.
    void update(int dt) override;
    /// The item's keys, then the flame sprite cloned from the child node "fire" and the halo
    /// read from "galo", each required.
    void read_skin(const SkinPath& path) override;

    bool is_launched() const { return m_launched; }
    int time_left() const { return m_time_left; }
    int hits_left() const { return m_hits_left; }
    const SharedPtr<Sprite>& fire() const { return m_fire; }
    const ImageSprite& halo() const { return m_halo; }

private:
    void burn(int dt);

    bool m_launched = false;
    int m_time_left = 1000;
    int m_hits_left = 8;
    SharedPtr<Sprite> m_fire;
    ImageSprite m_halo;
};

}

KQ_TYPE_NAME(kq::Fireball, "class kq::Fireball");
