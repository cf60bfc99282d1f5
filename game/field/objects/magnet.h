#pragma once

#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "game/field/objects/item.h"

namespace kq {

/// A magnet: it pulls (a negative force pushes) every magnetic item on the ground whose
/// centre lies within its ring, with a constant force, and may show its field by a circle of
/// seven moving force sprites.
class Magnet : public Item
{
public:
    Magnet() = default;
    Magnet(const Magnet& other) = default;

    /// Builds the body, then lays the force sprites when they are to be drawn.
    void build_body(const ItemPlacement& placement) override;
    /// Pulls every magnetic item on the ground within the ring.
    void update(int dt) override;
    /// The item's keys, then "force", "min_distance", "max_distance", "drawing_distance" and
    /// "drawing_force", each required.
    void read_skin(const SkinPath& path) override;

    /// The pull on an item `v` pixels away from the magnet (item - magnet): `force` towards
    /// the magnet within the ring (both edges included); none outside it, and none at the
    /// very centre, where there is no direction.
    Vector2<float> pull_force(const Vector2<float>& v) const;

    float force() const { return m_force; }
    float min_distance() const { return m_min_distance; }
    float max_distance() const { return m_max_distance; }
    float drawing_distance() const { return m_drawing_distance; }
    bool drawing_force() const { return m_drawing_force; }

private:
    void lay_force_sprite(int index);
    void pull(Item& item);

    float m_force = 0.0f;
    float m_min_distance = 0.0f;
    float m_max_distance = 0.0f;
    float m_drawing_distance = 200.0f;
    bool m_drawing_force = true;
};

}

KQ_TYPE_NAME(kq::Magnet, "class kq::Magnet");
