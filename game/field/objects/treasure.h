#pragma once

#include <string>

#include "engine/art/image_sprite.h"
#include "engine/base/color.h"
#include "engine/base/type_name.h"
#include "game/field/objects/item.h"

namespace kq {

/// A treasure: it sways gently about the angle it was put at, shows a glint, and is taken by
/// the first burning piece that comes within its reach, which adds its value to the progress,
/// shows its score and plays its eat effect. A jewel is a treasure that also disappears, with
/// an effect, once its expiry turn has passed.
class Treasure : public Item
{
public:
    Treasure() = default;
    Treasure(const Treasure& other) = default;

    /// Builds the body, then remembers its angle as the rest angle and draws the sway's start
    /// and the glint's place on the shine.
    void build_body(const ItemPlacement& placement) override;
    /// Disappears, with "effects.treasure_disappear" in its colour brightened four times, once
    /// the turn count has passed its expiry turn (never for an expiry turn below 0).
    void on_turn_end() override;
    /// The item's drawing; the highlight pass then draws the shine over it.
    void draw(int pass, Artist& artist) override;
    /// Sways, moves the shine with it, then lets the first burning piece within reach take it.
    void update(int dt) override;
    /// The item's keys, then "value", "take_radius", "eat_effect", "sway_period",
    /// "sway_range", "shine" and "color", each required.
    void read_skin(const SkinPath& path) override;

    /// The angle of the sway at the field time: the rest angle while the sway period is not
    /// positive (such a treasure rests).
    float sway_angle(int field_time) const;
    /// The turn count after which the treasure disappears; -1 never.
    void set_expiry_turn(int turn) { m_expiry_turn = turn; }

    int value() const { return m_value; }
    int expiry_turn() const { return m_expiry_turn; }
    int take_radius() const { return m_take_radius; }
    const std::string& eat_effect() const { return m_eat_effect; }
    float rest_angle() const { return m_rest_angle; }
    int sway_period() const { return m_sway_period; }
    int sway_offset() const { return m_sway_offset; }
    float sway_range() const { return m_sway_range; }
    const Color& colour() const { return m_colour; }
    const ImageSprite& shine() const { return m_shine; }

private:
    // The first burning piece within reach, or null.
    Item* taker() const;
    void be_taken();

    int m_value = 0;
    int m_expiry_turn = -1;
    int m_take_radius = 16;
    std::string m_eat_effect;
    float m_rest_angle = 0.0f;
    int m_sway_period = 2000;
    int m_sway_offset = 0;
    float m_sway_range = 3.0f;
    Color m_colour{1.0f, 1.0f, 1.0f, 1.0f};
    ImageSprite m_shine;
};

}

KQ_TYPE_NAME(kq::Treasure, "class kq::Treasure");
