#pragma once

#include "engine/ui/button.h"
#include "engine/ui/dialog.h"
#include "game/shell/dialogs/options.h"

namespace kq {

/// The options of a running mission: the settings panel with "ok" (store, apply and save)
/// and "cancel". Built on the stack from "dialogs.ingame_options" and run modally; the music
/// goes back to the profile's volume whenever it closes.
class IngameOptionsDlg : public Dialog
{
public:
    /// The panel and the buttons; each click closes the dialog one step later.
    IngameOptionsDlg();
    ~IngameOptionsDlg() override;
    IngameOptionsDlg(const IngameOptionsDlg&) = delete;

    /// "ok" stores the settings; every result restores the music.
    void on_close(StrCache result) override;
    using Dialog::on_close;

    Options& options() { return m_options; }
    Button& ok_button() { return m_ok; }
    Button& cancel_button() { return m_cancel; }

private:
    Options m_options;
    Button m_cancel;
    Button m_ok;
};

}
