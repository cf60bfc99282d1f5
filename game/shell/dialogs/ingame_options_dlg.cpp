#include "game/shell/dialogs/ingame_options_dlg.h"

#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"

namespace kq {

IngameOptionsDlg::IngameOptionsDlg()
{
    m_options.set_up(CIChild(this, "options"));
    m_cancel.set_up(CIChild(this, "cancel"));
    m_ok.set_up(CIChild(this, "ok"));
    m_ok.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_ok()); }); }, this);
    m_cancel.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_cancel()); }); }, this);
}

IngameOptionsDlg::~IngameOptionsDlg()
{
    // Detached while the children still exist, so they leave the tree with the dialog.
    detach();
}

void IngameOptionsDlg::on_close(StrCache result)
{
    m_options.close_with(result);
}

}
