#include "engine/ui/check_box.h"

#include "engine/base/mainframe.h"
#include "engine/base/sign_deffered_impl.h"

namespace kq {

CheckBox::CheckBox()
{
    connect_toggle();
}

CheckBox::CheckBox(const CheckBox& other)
    : Control(other),
      m_checked(other.m_checked)
{
    connect_toggle();
}

void CheckBox::connect_toggle()
{
    on_click().connect(sign_deffered_impl<>([this] { toggle(); }, reinterpret_cast<Mainframe::TaskId>(this)), this);
}

CheckBox::~CheckBox()
{
    // A toggle still pending must not reach a box that is gone.
    if (Mainframe::instance())
        Mainframe::remove_task(reinterpret_cast<Mainframe::TaskId>(this));
}

void CheckBox::get_view_flags(Sprite* sprite, std::uint32_t& mask, std::uint32_t& flags) const
{
    Control::get_view_flags(sprite, mask, flags);
    mask |= VF_CHECKED;
    if (m_checked)
        flags |= VF_CHECKED;
}

void CheckBox::toggle()
{
    m_checked = !m_checked;
    m_on_change.emit();
}

}
