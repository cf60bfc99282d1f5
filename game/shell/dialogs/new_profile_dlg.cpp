#include "game/shell/dialogs/new_profile_dlg.h"

#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/message_dialog.h"
#include "game/shell/app/game.h"
#include "game/shell/progress/save_checks.h"

namespace kq {

NewProfileDlg::NewProfileDlg()
{
    m_name.set_up(CIChild(this, "name"));
    m_ok.set_up(CIChild(this, "ok"));
    m_cancel.set_up(CIChild(this, "cancel"));
    m_ok.on_click().connect([this] { run_deferred(this, [this] { on_ok(); }); }, this);
    m_cancel.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_cancel()); }); }, this);
    m_name.on_change().connect([this] { run_deferred(this, [this] { update_ok(); }); }, this);
    m_name.on_enter().connect([this] { run_deferred(this, [this] { on_ok(); }); }, this);
}

NewProfileDlg::~NewProfileDlg()
{
    // Detached while the children still exist, so they leave the tree with the dialog.
    detach();
}

void NewProfileDlg::on_attached()
{
    Dialog::on_attached();
    m_cancel.set_disabled(false);
    m_ok.set_disabled(true);
    m_name.set_text(std::string());
}

void NewProfileDlg::on_close(StrCache result)
{
    if (result == dialog_result_ok() && name_is_valid())
        Game::instance()->select_profile(m_name.text());
}

bool NewProfileDlg::name_is_valid() const
{
    return is_valid_profile_name(m_name.text());
}

void NewProfileDlg::update_ok()
{
    const bool disabled = !name_is_valid();
    if (m_ok.is_disabled() != disabled)
        m_ok.set_disabled(disabled);
}

void NewProfileDlg::on_ok()
{
    if (!name_is_valid()) {
        m_name.take_focus();
        return;
    }
    if (!Game::instance()->find_profile(m_name.text())) {
        close(dialog_result_ok());
        return;
    }
    MessageDialog present;
    present.set_up(CIIndependent(SkinPath("dialogs.profile_present")));
    present.set_variable("profile", m_name.text());
    present.run_modal(*this);
    // Back to the name, so that the player can change it at once.
    m_name.take_focus();
}

}
