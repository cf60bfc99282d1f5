#pragma once

#include "engine/art/text_sprite.h"
#include "engine/base/rect.h"
#include "engine/ui/button.h"
#include "engine/ui/dialog.h"

namespace kq {

/// The credits: a text that scrolls up one pixel every 30 ms through its own rectangle, with
/// the program's version in the variable "version", until "cancel" closes the dialog. Built on
/// the stack from "dialogs.credits" and run modally; every opening starts from the skin's
/// position.
class CreditsDlg : public Dialog
{
public:
    /// Milliseconds a pixel of scrolling takes.
    static constexpr int scroll_period_ms = 30;

    /// The text and the "cancel" button, whose click closes the dialog one step later.
    CreditsDlg();
    ~CreditsDlg() override;
    CreditsDlg(const CreditsDlg&) = delete;

    /// `Dialog`'s keys, then the text from the node "text".
    using Dialog::read_skin;
    void read_skin() override;
    /// `Dialog`'s attach, the version, the text's window and the scrolling timer.
    void on_attach() override;
    /// The dialog's own sprite, then the text clipped to its window.
    void draw(Artist& artist) override;

    /// The scrolling text.
    TextSprite& text() { return m_text; }
    /// The window the text shows through, in the dialog's coordinates.
    const RectI& clip() const { return m_clip; }
    Button& cancel_button() { return m_cancel; }

private:
    TextSprite m_text;
    RectI m_clip;
    Button m_cancel;
};

}
