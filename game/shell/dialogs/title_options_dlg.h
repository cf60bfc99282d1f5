#pragma once

#include <memory>

#include "engine/ui/button.h"
#include "engine/ui/dialog.h"
#include "game/shell/dialogs/options.h"

namespace kq {

/// The options of the main menu: the settings panel with "credits", "ok" (store, apply and
/// save) and "cancel". Built on the stack from "dialogs.title_options" and run modally; the
/// music goes back to the profile's volume whenever it closes.
class TitleOptionsDlg : public Dialog
{
public:
    /// The panel and the buttons; each click acts one step later.
    TitleOptionsDlg();
    ~TitleOptionsDlg() override;
    TitleOptionsDlg(const TitleOptionsDlg&) = delete;

    /// "ok" stores the settings; every result restores the music.
    void on_close(StrCache result) override;
    using Dialog::on_close;
    /// Hides the dialog while the credits ("dialogs.credits") run over its parent.
    void on_credits();

    Options& options() { return m_options; }
    Button& credits_button() { return m_credits; }
    Button& ok_button() { return m_ok; }
    Button& cancel_button() { return m_cancel; }

private:
    Options m_options;
    Button m_credits;
    Button m_ok;
    Button m_cancel;
    /// Expires with the dialog: the credits' nested loop checks it afterwards.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}
