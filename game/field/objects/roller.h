#pragma once

#include <list>

#include "engine/art/image_sprite.h"
#include "engine/art/spline.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "game/field/objects/item.h"

namespace kq {

/// A member of a roller's chain: the item and how far behind the head it travels along the
/// path, pixels.
struct RollerMember
{
    SharedPtr<Item> item;
    float offset = 0.0f;
};

/// Drives a chain of items round a closed path: first its head, then the members its skin
/// names. The chain moves along the path at a steady speed; each member is steered towards its
/// own point of the path by its body's velocity and turning rate, so that it still collides
/// and can be hit and set alight. A piece of the chain that catches fire sets alight its
/// neighbours that chain with it; members that go leave the chain and those behind close up.
/// When only the head is left, it bursts and the roller ends. Between neighbouring members the
/// roller draws a coupling of three sprites.
///
/// The members are field items in their own right; the roller shares them with the field.
class Roller : public Item
{
public:
    using Path = Spline<float, Vector2<float>>;

    Roller() = default;
    /// Shares the path, the head and the members' items; copies the offsets, the motion and
    /// the coupling sprites.
    Roller(const Roller& other) = default;

    /// The item's body, then the roller listens for pieces catching fire and puts its chain on
    /// the field, each member `offset` pixels behind the head's start, none launchable or
    /// magnetic.
    void build_body(const ItemPlacement& placement) override;
    /// Stops listening to the field, then destroys the body.
    void destroy_body() override;
    /// The item's passes; over the highlight pass, the couplings between live neighbours.
    void draw(int pass, Artist& artist) override;
    /// The item's update, then the chain moves on and each member is steered after its point;
    /// members gone leave the chain. When only the head is left (or nothing), the head bursts
    /// and the roller ends.
    void update(int dt) override;
    /// The item's keys, then the path ("points_shape", "points"), the chain's step, speed and
    /// turning rate, the three coupling sprites, the head and the members. An unknown path
    /// shape is logged and ends the reading; a path of fewer than two points fails.
    void read_skin(const SkinPath& path) override;

    /// The point of the closed path at the distance from its start, either way round.
    Vector2<float> point_at(float distance) const;

    const SharedPtr<Path>& path() const { return m_path; }
    float path_length() const { return m_path_length; }
    /// How far the head has travelled since the roller was made, pixels.
    float phase() const { return m_phase; }
    const SharedPtr<Item>& head() const { return m_head; }
    const std::list<RollerMember>& members() const { return m_members; }
    float members_step() const { return m_members_step; }
    float members_speed() const { return m_members_speed; }
    float members_rot_speed() const { return m_members_rot_speed; }
    const ImageSprite& coupling_right() const { return m_coupling_right; }
    const ImageSprite& coupling_left() const { return m_coupling_left; }
    const ImageSprite& coupling_centre() const { return m_coupling_centre; }

private:
    void add_path_point(const Vector2<float>& point);
    void add_member(Item* item);
    // Sets the member's velocity and turning rate towards its point over `t` seconds.
    void steer(Item& member, float offset, float t) const;
    // Sets alight the neighbours in the chain of a piece that caught fire.
    void on_piece_removed(Item* piece);
    void draw_coupling(const Item& front, const Item& rear, Artist& artist);

    SharedPtr<Path> m_path;
    float m_path_length = 0.0f;
    float m_phase = 0.0f;
    SharedPtr<Item> m_head;
    std::list<RollerMember> m_members;
    float m_members_step = 0.0f;
    float m_members_speed = 1.0f;
    float m_members_rot_speed = 1.0f;
    ImageSprite m_coupling_right;
    ImageSprite m_coupling_left;
    ImageSprite m_coupling_centre;
};

}

KQ_TYPE_NAME(kq::Roller, "class kq::Roller");
