#include "game/shell/dialogs/ingame_dlg.h"

#include "engine/base/mainframe.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/message_dialog.h"
#include "game/shell/dialogs/ingame_options_dlg.h"

namespace kq {

StrCache IngameDlg::result_exit()
{
    static const StrCache result("exit");
    return result;
}

IngameDlg::IngameDlg(bool confirm) : m_confirm(confirm)
{
    m_options.set_up(CIChild(this, "options"));
    m_exit.set_up(CIChild(this, "exit"));
    m_quit.set_up(CIChild(this, "quit"));
    m_cancel.set_up(CIChild(this, "cancel"));
    m_options.on_click().connect([this] { run_deferred(this, [this] { on_options(); }); }, this);
    m_exit.on_click().connect([this] { run_deferred(this, [this] { on_exit(); }); }, this);
    m_quit.on_click().connect([this] { run_deferred(this, [this] { on_quit(); }); }, this);
    m_cancel.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_cancel()); }); }, this);
}

IngameDlg::~IngameDlg()
{
    m_alive.reset();
    // Detached while the buttons still exist, so they leave the tree with the dialog.
    detach();
}

bool IngameDlg::on_key(Key key, KeyState state)
{
    if (key == key_escape && state == state_down) {
        close(dialog_result_cancel());
        return true;
    }
    return Dialog::on_key(key, state);
}

bool IngameDlg::confirmed(const char* question, bool& gone)
{
    gone = false;
    if (!m_confirm)
        return true;
    if (!parent()) {
        gone = true;
        return false;
    }
    const std::weak_ptr<bool> alive = m_alive;
    set_disabled(true);
    MessageDialog dialog;
    dialog.set_up(CIIndependent(SkinPath("dialogs.exit_confirm")));
    dialog.set_variable("question", question);
    const StrCache answer = dialog.run_modal(*parent());
    if (alive.expired()) {
        gone = true;
        return false;
    }
    set_disabled(false);
    return answer != dialog_result_cancel();
}

void IngameDlg::on_exit()
{
    bool gone = false;
    const bool leave = confirmed("{#ui.ingame.exit_confirm}", gone);
    if (!gone)
        close(leave ? result_exit() : dialog_result_cancel());
}

void IngameDlg::on_quit()
{
    bool gone = false;
    const bool leave = confirmed("{#ui.ingame.quit_confirm}", gone);
    if (gone)
        return;
    if (leave)
        Mainframe::quit();
    else
        close(dialog_result_cancel());
}

void IngameDlg::on_options()
{
    if (!parent())
        return;
    const std::weak_ptr<bool> alive = m_alive;
    set_disabled(true);
    IngameOptionsDlg options;
    options.set_up(CIIndependent(SkinPath("dialogs.ingame_options")));
    options.run_modal(*parent());
    if (alive.expired())
        return;
    set_disabled(false);
    close(dialog_result_cancel());
}

}
