#pragma once

#include <string>

#include "engine/art/text_sprite.h"
#include "engine/ui/dialog.h"

namespace kq {

/// The small box a button shows its help in: it stands by the mouse, at least 10 units from
/// every edge of its parent, shows its "reference" text followed by the help, and closes with
/// "ok" when any key or mouse button is released.
class HelpDialog : public Dialog
{
public:
    HelpDialog() = default;

    using Dialog::read_skin;
    /// The dialog's keys, then the text sprite from the sub-node "reference".
    void read_skin() override;
    /// The control's look, then the text.
    void draw(Artist& artist) override;
    /// Lays out, then, when attached, stands by the mouse and fits the text inside a 2-unit
    /// border.
    void relayout() override;
    /// Any release closes the dialog with "ok"; anything else is the dialog's.
    bool on_key(Key key, KeyState state) override;

    /// Shows `text` after the current text.
    void append_text(const std::string& text);

    const TextSprite& text() const { return m_text; }

private:
    TextSprite m_text;
};

}
