#pragma once

#include "engine/art/sprite_base.h"
#include "engine/base/shared_ptr.h"
#include "engine/ui/control.h"

namespace kq {

/// A small button of the top panel (a powerup, "apply", "undo"): a plain control whose
/// "image" sprite blinks while the mouse is over it. The blink is the skin's controller
/// "blinker"; its text may show the control's variable "count".
class PowerupControl : public Control
{
public:
    PowerupControl() = default;
    /// Takes the blinker off the image, which may outlive the control.
    ~PowerupControl() override;

    /// The hover signal (true), then the blinker restarts on the "image" sprite.
    void on_mouse_enter() override;
    /// The blinker leaves the "image" sprite, the image's and the look's scale return to 1,
    /// then the base behaviour (the press is dropped, the hover signal false).
    void on_mouse_leave() override;
    using Control::read_skin;
    /// `Control`'s keys, then a clone of the controller "blinker" under the control's node.
    void read_skin() override;

    /// The blink controller; null before the skin is read.
    SpriteBase* blinker() const { return m_blinker.get(); }

private:
    /// The sprite with the id "image" in the control's look, or null.
    Sprite* image() const;

    SharedPtr<SpriteBase> m_blinker;
};

}
