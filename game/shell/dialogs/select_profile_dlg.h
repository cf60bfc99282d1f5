#pragma once

#include <string>
#include <vector>

#include "engine/base/color.h"
#include "engine/ui/button.h"
#include "engine/ui/dialog.h"
#include "engine/ui/list_box.h"

namespace kq {

/// Chooses the player: the list "profiles" shows every profile by name (the current one
/// yellow and selected); "ok" or a double click makes the selected one current, "delete"
/// removes it after "dialogs.profile_delete" agrees, "new" asks for a new player in a
/// `NewProfileDlg` ("dialogs.new_profile") and "cancel" leaves. "cancel" is disabled while no
/// profile is current, so the dialog is left only with a current profile: through "ok", or
/// "new", which ends it with "cancel" once the new profile is current. Built on the stack from
/// "dialogs.select_profile" and run modally; each list item is a copy of the list's child
/// "item", whose texts read the item's name as the variable "profile". The handlers run one
/// step after the click, as tasks of the dialog.
class SelectProfileDlg : public Dialog
{
public:
    /// The highlight of the current profile's item.
    static constexpr Color current_colour{1.0f, 1.0f, 0.0f, 1.0f};

    /// The list and the buttons; `forced`: "cancel" starts disabled.
    explicit SelectProfileDlg(bool forced);
    ~SelectProfileDlg() override;
    SelectProfileDlg(const SelectProfileDlg&) = delete;

    /// Opens as a dialog does, then lists the profiles and sets the buttons.
    void on_attach() override;
    /// "ok" with a selection makes the selected profile current; anything else changes
    /// nothing.
    void on_close(StrCache result) override;
    using Dialog::on_close;

    /// "ok" and "delete" enabled exactly while a name is selected, "cancel" exactly while a
    /// profile is current.
    void update_buttons();
    /// Hides the dialog while a `NewProfileDlg` runs over its parent; a profile made there
    /// ends this dialog with "cancel".
    void on_new();
    /// Deletes the selected profile when the player confirms.
    void on_delete();

    /// The names listed, in the list's order.
    const std::vector<std::string>& names() const { return m_names; }
    ListBox& list() { return m_list; }
    Button& ok_button() { return m_ok; }
    Button& cancel_button() { return m_cancel; }
    Button& new_button() { return m_new; }
    Button& delete_button() { return m_delete; }

private:
    /// A copy of the item prototype showing the name.
    SharedPtr<Sprite> make_item(const std::string& name);

    std::vector<std::string> m_names;
    bool m_forced;
    ListBox m_list;
    Button m_ok;
    Button m_cancel;
    Button m_new;
    Button m_delete;
};

}
