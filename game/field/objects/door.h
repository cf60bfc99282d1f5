#pragma once

#include "engine/base/type_name.h"
#include "game/field/objects/item.h"

namespace kq {

/// A door the player turns by clicking it: every click turns its body by a fixed step about
/// its own position, at once.
class Door : public Item
{
public:
    Door() = default;
    Door(const Door& other) = default;

    /// Turns the body by the step, keeping its place and speeds; the angle is never wrapped.
    void do_activate() override;
    /// A door can always be clicked.
    bool can_activate() const override { return true; }
    /// The item's keys, then the required "rotate_step" (radians).
    void read_skin(const SkinPath& path) override;

    float rotate_step() const { return m_rotate_step; }

private:
    float m_rotate_step = 0.0f;
};

}

KQ_TYPE_NAME(kq::Door, "class kq::Door");
