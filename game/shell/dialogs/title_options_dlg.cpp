#include "game/shell/dialogs/title_options_dlg.h"

#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "game/shell/dialogs/credits_dlg.h"

namespace kq {

TitleOptionsDlg::TitleOptionsDlg()
{
    m_options.set_up(CIChild(this, "options"));
    m_credits.set_up(CIChild(this, "credits"));
    m_ok.set_up(CIChild(this, "ok"));
    m_cancel.set_up(CIChild(this, "cancel"));
    m_credits.on_click().connect([this] { run_deferred(this, [this] { on_credits(); }); }, this);
    m_ok.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_ok()); }); }, this);
    m_cancel.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_cancel()); }); }, this);
}

TitleOptionsDlg::~TitleOptionsDlg()
{
    m_alive.reset();
    // Detached while the children still exist, so they leave the tree with the dialog.
    detach();
}

void TitleOptionsDlg::on_close(StrCache result)
{
    m_options.close_with(result);
}

void TitleOptionsDlg::on_credits()
{
    if (!parent())
        return;
    const std::weak_ptr<bool> alive = m_alive;
    set_hidden(true);
    CreditsDlg credits;
    credits.set_up(CIIndependent(SkinPath("dialogs.credits")));
    credits.run_modal(*parent());
    if (!alive.expired())
        set_hidden(false);
}

}
