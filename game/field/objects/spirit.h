#pragma once

#include "engine/art/emitter_sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "game/field/objects/item.h"

namespace kq {

/// A spirit drifting over the field at a constant speed along gently curving paths, trailing
/// a particle emitter. It carries a gen without being a member of a group: a piece of its gen
/// that touches it catches fire and the spirit bursts in the piece's colour; once no piece of
/// its gen is left on the field it leaves without a trace.
class Spirit : public Item
{
public:
    /// The collision bits the spirit's shapes meet.
    static constexpr std::uint16_t collision_mask = 0x000F;

    Spirit() = default;
    /// Copies every member; the emitter is shared.
    Spirit(const Spirit& other) = default;

    /// Never a member of a group.
    bool has_group() const override { return false; }
    /// A piece of its gen touched it: it bursts in the piece's colour and leaves.
    void on_chained_by(Item& piece) override;
    /// The item's filter, meeting only the low four collision bits.
    void collision_filter(FilterData& filter) const override;
    /// Builds the body, shows the emitter and sets off in a random direction.
    void build_body(const ItemPlacement& placement) override;
    /// Takes the emitter off the field, then destroys the body.
    void destroy_body() override;
    /// The item's update; the emitter follows, the spirit drifts on at its speed, turning,
    /// and leaves once its gen has no piece left.
    void update(int dt) override;
    /// The item's keys, then the optional "nominal_speed", "rotate_speed", "rotate_period" and
    /// the emitter at "emitter".
    void read_skin(const SkinPath& path) override;

    float nominal_speed() const { return m_nominal_speed; }
    int rotate_period() const { return m_rotate_period; }
    float rotate_speed() const { return m_rotate_speed; }
    int rotate_timer() const { return m_rotate_timer; }
    const SharedPtr<EmitterSprite>& emitter() const { return m_emitter; }

private:
    void drift(int dt);
    void count_down_turn(int dt);

    float m_nominal_speed = 0.0f;
    int m_rotate_period = 1000;
    float m_rotate_speed = 0.1f;
    int m_rotate_timer = 0;
    SharedPtr<EmitterSprite> m_emitter;
};

}

KQ_TYPE_NAME(kq::Spirit, "class kq::Spirit");
