#include "game/shell/dialogs/select_profile_dlg.h"

#include "engine/res/skin_prototypes.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "engine/ui/message_dialog.h"
#include "game/shell/app/game.h"
#include "game/shell/dialogs/new_profile_dlg.h"

namespace kq {

namespace {

/// Sets the disabled bit only when it differs, so the button's state changes only then.
void set_disabled_if_changed(Button& button, bool disabled)
{
    if (button.is_disabled() != disabled)
        button.set_disabled(disabled);
}

}

SelectProfileDlg::SelectProfileDlg(bool forced) : m_forced(forced)
{
    m_list.set_up(CIChild(this, "profiles"));
    m_ok.set_up(CIChild(this, "ok"));
    m_cancel.set_up(CIChild(this, "cancel"));
    m_new.set_up(CIChild(this, "new"));
    m_delete.set_up(CIChild(this, "delete"));
    m_list.on_select().connect([this](int) { run_deferred(this, [this] { update_buttons(); }); }, this);
    m_list.on_activate().connect([this](int) { run_deferred(this, [this] { close(dialog_result_ok()); }); }, this);
    m_ok.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_ok()); }); }, this);
    m_cancel.on_click().connect([this] { run_deferred(this, [this] { close(dialog_result_cancel()); }); }, this);
    m_new.on_click().connect([this] { run_deferred(this, [this] { on_new(); }); }, this);
    m_delete.on_click().connect([this] { run_deferred(this, [this] { on_delete(); }); }, this);
}

SelectProfileDlg::~SelectProfileDlg()
{
    // The items may be held elsewhere too: they must not ask a dead dialog.
    for (int i = 0; i < m_list.count(); ++i)
        m_list.item(i)->set_data_provider(nullptr);
    // Detached while the children still exist, so they leave the tree with the dialog.
    detach();
}

void SelectProfileDlg::on_attach()
{
    Dialog::on_attach();
    const Game& game = *Game::instance();
    game.for_each_profile([this](const Profile& profile) { m_names.push_back(profile.name); });
    for (const std::string& name : m_names) {
        const int index = m_list.insert(make_item(name), m_list.count());
        if (name == game.m_profile_name)
            m_list.select(index);
    }
    m_cancel.set_disabled(m_forced);
    m_ok.set_disabled(m_list.selection() < 0);
}

SharedPtr<Sprite> SelectProfileDlg::make_item(const std::string& name)
{
    // An empty prototype gives items without a look rather than none.
    Sprite* prototype_copy = clone_resource<Sprite, Sprite>(m_list.path() + "item");
    SharedPtr<Sprite> item(prototype_copy ? prototype_copy : new Sprite);
    if (name == Game::instance()->m_profile_name)
        item->set_color(current_colour);
    if (item->inherit() & sprite_takes_variables)
        item->set_data_provider([this, name](const std::string& variable, std::string& value) {
            if (variable != "profile")
                return get_variable(variable, value);
            value = name;
            return true;
        });
    return item;
}

void SelectProfileDlg::on_close(StrCache result)
{
    const int selected = m_list.selection();
    if (result == dialog_result_ok() && selected >= 0)
        Game::instance()->select_profile(m_names[std::size_t(selected)]);
}

void SelectProfileDlg::update_buttons()
{
    const bool none_selected = m_list.selection() < 0;
    set_disabled_if_changed(m_ok, none_selected);
    set_disabled_if_changed(m_cancel, Game::instance()->m_profile == nullptr);
    set_disabled_if_changed(m_delete, none_selected);
}

void SelectProfileDlg::on_new()
{
    if (!parent())
        return;
    set_hidden(true);
    NewProfileDlg dialog;
    dialog.set_up(CIIndependent(SkinPath("dialogs.new_profile")));
    if (dialog.run_modal(*parent()) == dialog_result_ok())
        close(dialog_result_cancel());
    set_hidden(false);
}

void SelectProfileDlg::on_delete()
{
    const int selected = m_list.selection();
    if (selected < 0)
        return;
    const std::string name = m_names[std::size_t(selected)];
    MessageDialog question;
    question.set_up(CIIndependent(SkinPath("dialogs.profile_delete")));
    question.set_variable("profile", name);
    if (question.run_modal(*this) != dialog_result_ok())
        return;
    Game::instance()->delete_profile(name);
    m_names.erase(m_names.begin() + selected);
    m_list.remove(selected);
    update_buttons();
}

}
