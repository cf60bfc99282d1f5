#include "engine/ui/dialog.h"

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/res/skin_readers.h"

namespace kq {

StrCache dialog_result_none()
{
    static const StrCache result("none");
    return result;
}

StrCache dialog_result_modal()
{
    static const StrCache result("modal");
    return result;
}

StrCache dialog_result_ok()
{
    static const StrCache result("ok");
    return result;
}

StrCache dialog_result_cancel()
{
    static const StrCache result("cancel");
    return result;
}

void Dialog::read_skin()
{
    Control::read_skin();
    read_skin_value(path() + "exclusive", &m_exclusive);
}

bool Dialog::on_key(Key key, KeyState state)
{
    const bool handled = Control::on_key(key, state);
    return handled || m_exclusive;
}

bool Dialog::on_char(char)
{
    return m_exclusive;
}

void Dialog::on_attach()
{
    Control::on_attach();
    m_result = dialog_result_none();
    if (m_exclusive)
        enter_exclusive();
}

void Dialog::on_detach()
{
    if (m_exclusive)
        leave_exclusive();
    Control::on_detach();
}

void Dialog::enter_exclusive()
{
    ControlHost* const ui = host();
    if (!ui)
        return;
    ui->set_capture(this, 0);
    ui->push_focus(this, 0);
    ui->set_focus(this);
}

void Dialog::leave_exclusive()
{
    ControlHost* const ui = host();
    if (!ui)
        return;
    if (ui->focused() == this)
        ui->set_focus(nullptr);
    ui->release_focus(this);
    ui->release_capture(this);
}

void Dialog::close(StrCache result)
{
    if (m_result != dialog_result_none() || result == dialog_result_none())
        return;
    m_result = result;
    on_close(result);
    m_on_close.emit(result);
    detach();
}

StrCache Dialog::run_modal(Control& parent)
{
    if (is_attached()) {
        log_error("Unable to attach modal attached dialog!", source_file_name(__FILE__), __LINE__);
        return m_result;
    }
    // A parent on its way out (its pending handlers run while it is detached) would hold a
    // dialog nobody sees or can close.
    if (!parent.is_attached() || !parent.host()) {
        log_error("Unable to run modal dialog under detached parent.", source_file_name(__FILE__), __LINE__);
        return dialog_result_cancel();
    }
    attach_to_parent(this, &parent);
    try {
        Mainframe::run_while([this] { return m_result == dialog_result_none() && is_attached(); });
    } catch (...) {
        detach();
        throw;
    }
    if (m_result == dialog_result_none())
        close(dialog_result_cancel());
    return m_result;
}

}
