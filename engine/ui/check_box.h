#pragma once

#include "engine/base/socket.h"
#include "engine/ui/control.h"

namespace kq {

/// A control with a checked flag that every click toggles, one scheduler step after the click;
/// its look shows the flag through the view flag `VF_CHECKED`.
class CheckBox : public Control
{
public:
    CheckBox();
    ~CheckBox() override;
    /// Copies the settings and the flag; no handlers.
    CheckBox(const CheckBox& other);

    /// `Control`'s flags, with `VF_CHECKED` always in the mask and set while checked.
    void get_view_flags(Sprite* sprite, std::uint32_t& mask, std::uint32_t& flags) const override;

    /// Flips the flag and emits `m_on_change`.
    void toggle();
    /// Stores the flag without emitting anything.
    void set_checked(bool checked) { m_checked = checked; }
    bool is_checked() const { return m_checked; }

    /// After every toggle.
    Socket<void()>& on_change() { return m_on_change; }

private:
    /// Every click toggles the flag one scheduler step later.
    void connect_toggle();

    bool m_checked = false;
    Socket<void()> m_on_change;
};

}

KQ_TYPE_NAME(kq::CheckBox, "class kq::CheckBox");
