#pragma once

#include <set>
#include <string>

#include "engine/ui/control.h"

namespace kq {

/// The push button: a control whose click is its action. Its hot keys click it from wherever
/// the focus is while it is attached (it stands on the UI's keyboard stack meanwhile, so an
/// exclusive dialog or a grabbing control above it takes them first), and a right press shows
/// its help text in a help dialog by the mouse.
class Button : public Control
{
public:
    Button();
    /// Copies the settings, the hot keys and the help text; no handlers.
    Button(const Button& other);

    using Control::read_skin;
    /// A press of a hot key clicks the button and is taken; anything else goes to `Control`.
    bool on_key(Key key, KeyState state) override;
    /// A button with hot keys joins the UI's keyboard stack.
    void on_attach() override;
    /// A button with hot keys leaves the UI's keyboard stack.
    void on_detach() override;
    /// `Control`'s keys, then "keys" ("{ key_escape key_enter }") and "help", both required.
    void read_skin() override;
    /// Shows the help text in a modal help dialog ("ui.help_dialog") under the UI's root;
    /// nothing without a help text or while the button is not attached.
    virtual void show_help();

    const std::set<Key>& keys() const { return m_keys; }
    void set_keys(std::set<Key> keys) { m_keys = std::move(keys); }
    const std::string& help() const { return m_help; }
    void set_help(std::string help) { m_help = std::move(help); }

private:
    std::set<Key> m_keys;
    std::string m_help;
};

}

KQ_TYPE_NAME(kq::Button, "class kq::Button");
