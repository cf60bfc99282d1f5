#pragma once

#include <string>

#include "engine/ui/button.h"
#include "engine/ui/dialog.h"
#include "engine/ui/edit_box.h"

namespace kq {

/// Asks for the name of a new player: the name box "name", "ok" and "cancel". "ok" (or Enter
/// in the box) with a name no profile has closes the dialog, which creates that profile and
/// makes it current; a name taken already shows "dialogs.profile_present" and the dialog stays
/// open. The name is kept as typed: the box lets in only the characters its font draws, at
/// most its "max_chars". Built on the stack from "dialogs.new_profile" and run modally; the
/// handlers run one step after the click or key, as tasks of the dialog.
class NewProfileDlg : public Dialog
{
public:
    /// The name box and the buttons.
    NewProfileDlg();
    ~NewProfileDlg() override;
    NewProfileDlg(const NewProfileDlg&) = delete;

    /// Starts with an empty name, "ok" disabled and "cancel" enabled.
    void on_attached() override;
    /// "ok" with a valid name creates the profile and makes it current; anything else changes
    /// nothing.
    void on_close(StrCache result) override;
    using Dialog::on_close;

    /// Whether the typed name holds a character other than a blank or a control character.
    bool name_is_valid() const;
    /// "ok" is enabled exactly while the name is valid.
    void update_ok();
    /// An invalid name gives the name box the focus; a name in use shows the message over the
    /// dialog, which stays open; any other name closes the dialog with "ok".
    void on_ok();

    EditBox& name_box() { return m_name; }
    Button& ok_button() { return m_ok; }
    Button& cancel_button() { return m_cancel; }

private:
    EditBox m_name;
    Button m_ok;
    Button m_cancel;
};

}
