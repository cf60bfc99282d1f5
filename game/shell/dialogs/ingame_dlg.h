#pragma once

#include <memory>

#include "engine/ui/button.h"
#include "engine/ui/dialog.h"

namespace kq {

/// The menu of a running mission: "options" opens the in-game options, "exit" leaves the
/// mission ("exit"), "quit" ends the program, "cancel" and Escape go back to the game
/// ("cancel"). With confirmation, leaving and quitting first ask "dialogs.exit_confirm".
/// Built on the stack from "dialogs.ingame" and run modally under the UI's root. The buttons'
/// handlers run one step after the click, as tasks of the dialog, and stop touching it once it
/// is gone.
class IngameDlg : public Dialog
{
public:
    /// The result of leaving the mission.
    static StrCache result_exit();

    /// The four buttons; `confirm`: ask before leaving or quitting.
    explicit IngameDlg(bool confirm);
    ~IngameDlg() override;
    IngameDlg(const IngameDlg&) = delete;

    /// Escape closes the dialog with "cancel"; anything else as `Dialog`.
    bool on_key(Key key, KeyState state) override;

    /// Runs the in-game options over the dialog's parent, then goes back to the game.
    void on_options();
    /// Leaves the mission, after a confirmation when asked for.
    void on_exit();
    /// Ends the program, after a confirmation when asked for.
    void on_quit();

    Button& options_button() { return m_options; }
    Button& exit_button() { return m_exit; }
    Button& quit_button() { return m_quit; }
    Button& cancel_button() { return m_cancel; }

private:
    /// Whether the player confirms, asked in the words of `question` (always without
    /// confirmation). False also when the dialog went away meanwhile: `gone` tells which.
    bool confirmed(const char* question, bool& gone);

    bool m_confirm;
    Button m_options;
    Button m_exit;
    Button m_quit;
    Button m_cancel;
    /// Expires with the dialog: handlers that run nested loops check it afterwards.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}
