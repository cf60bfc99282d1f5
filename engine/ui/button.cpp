#include "engine/ui/button.h"

#include "engine/base/enum_desc.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/help_dialog.h"

namespace kq {

namespace {

/// Reads "{" then key names up to "}"; an unknown name or a missing "}" fails the read.
std::set<Key> read_keys(const SkinPath& path)
{
    StringStream stream(get_skin_text(path));
    const rtti::EnumBase& names = rtti::EnumDesc<Key>::instance();
    std::set<Key> keys;
    // The opening token is taken whatever it is; documents write "{".
    stream.skip_token();
    while (!stream.token_is("}")) {
        if (stream.is_eof())
            stream.expect("}");
        keys.insert(static_cast<Key>(names.value_of(stream.read_token())));
    }
    stream.expect("}");
    return keys;
}

}

Button::Button()
{
    on_right_click() = [this] { show_help(); };
}

Button::Button(const Button& other) : Control(other), m_keys(other.m_keys), m_help(other.m_help)
{
    on_right_click() = [this] { show_help(); };
}

bool Button::on_key(Key key, KeyState state)
{
    if (state == state_down && m_keys.contains(key)) {
        on_click().emit();
        return true;
    }
    return Control::on_key(key, state);
}

void Button::on_attach()
{
    Control::on_attach();
    if (!m_keys.empty() && host())
        host()->push_focus(this, 0);
}

void Button::on_detach()
{
    if (!m_keys.empty() && host())
        host()->release_focus(this);
    Control::on_detach();
}

void Button::read_skin()
{
    Control::read_skin();
    m_keys = read_keys(path() + "keys");
    read_skin_value(path() + "help", &m_help);
}

void Button::show_help()
{
    if (m_help.empty() || !is_attached() || !host())
        return;
    Control* root = this;
    while (root->parent())
        root = root->parent();
    HelpDialog dialog;
    dialog.set_up(CIIndependent(SkinPath("ui.help_dialog")));
    dialog.append_text(m_help);
    dialog.run_modal(*root);
}

}
