#include "engine/ui/message_dialog.h"

#include "engine/base/mainframe.h"
#include "engine/base/sign_deffered_impl.h"
#include "engine/res/skin_child_iterator.h"
#include "engine/ui/control_initer.h"

namespace kq {

MessageDialog::MessageDialog()
{
    m_legend.set_up(CIChild(this, "legend"));
}

MessageDialog::~MessageDialog()
{
    // Detached while the legend and the buttons still exist, so they leave the tree with it.
    detach();
}

void MessageDialog::read_skin()
{
    Dialog::read_skin();
    drop_buttons();
    for (SkinChildIterator child(path(), "button"); !child.at_end(); child.next()) {
        SharedPtr<Button> button(new Button);
        button->set_skin_path(child.path());
        const StrCache name = child.name();
        button->on_click().connect(
            sign_deffered_impl<>([this, name] { close(name); }, reinterpret_cast<Mainframe::TaskId>(this)), this);
        m_buttons.push_back(button);
        attach_to_parent(button.get(), this);
    }
}

void MessageDialog::drop_buttons()
{
    for (const SharedPtr<Button>& button : m_buttons)
        detach_child(this, button.get());
    m_buttons.clear();
}

}
