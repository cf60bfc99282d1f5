#pragma once

#include <string>

#include "engine/art/text_sprite.h"
#include "engine/base/socket.h"
#include "engine/ui/control.h"

namespace kq {

/// A one-line (or multi-line) text entry. It shows its text through its caption sprite, with
/// the caret shown as "|" while it is being edited; editing begins when it takes the focus
/// (or, with permanent focus, when it is attached) and holds a keyboard grab meanwhile. It
/// takes typed characters that the caption's font draws, the keys Backspace, Enter, Escape,
/// End, Home, Left, Right, Delete, Ctrl+Insert (copy the whole text) and Shift+Insert (paste
/// at the caret, filtered as typed characters are). Text is 8-bit, in the game's code page;
/// a line break is stored as character 10.
class EditBox : public Control
{
public:
    EditBox() = default;
    /// The other's settings, text and caption; not editing, not attached, no handlers.
    EditBox(const EditBox& other);

    /// The control's sprite, then the caption clipped 2 pixels inside the box.
    void draw(Artist& artist) override;
    /// The editing keys (state down only); always consumed.
    bool on_key(Key key, KeyState state) override;
    /// Inserts a typed character at the caret when it passes the filter; always consumed.
    bool on_char(char character) override;
    /// Starts editing.
    void on_set_focus() override;
    /// Stops editing, unless the focus is permanent.
    void on_kill_focus() override;
    /// With permanent focus: starts editing.
    void on_attached() override;
    /// Stops editing, then the base reaction.
    void on_detach() override;
    /// The base layout, then the caption fills the box less 2 pixels on each side.
    void relayout() override;
    /// The control's keys, then "max_chars", "multiline", "permanent_focus" and "caption".
    void read_skin() override;

    /// Replaces the text (the caret goes to its end) and emits the change; an equal text
    /// does nothing.
    void set_text(const std::string& text);
    /// The text, without the caret mark.
    const std::string& text() const { return m_text; }
    /// Moves the caret to a byte index (held to the text's length) and emits the caret signal
    /// when it moved.
    void set_caret(unsigned position);
    /// Shows the caret at the end of the text and grabs the keyboard.
    void start_editing();
    /// Hides the caret and lets the keyboard go.
    void stop_editing();

    unsigned caret() const { return m_caret; }
    bool is_editing() const { return m_editing; }
    int max_chars() const { return m_max_chars; }
    bool is_multiline() const { return m_multiline; }
    bool has_permanent_focus() const { return m_permanent_focus; }
    TextSprite& caption() { return m_caption; }

    /// Enter ended the editing of a single-line box.
    Socket<void()>& on_enter() { return m_on_enter; }
    /// The text changed.
    Socket<void()>& on_change() { return m_on_change; }
    /// The caret moved by a key, Backspace or `set_caret`.
    Socket<void()>& on_caret() { return m_on_caret; }

private:
    /// Whether the byte may be inserted now: room under the limit, no control character but
    /// a carriage return in a multi-line box, a glyph in the caption's font.
    bool accepts(char character);
    /// Inserts the bytes that pass the filter at the caret, one by one; the number inserted.
    std::size_t insert_filtered(const std::string& bytes);
    void copy_to_clipboard() const;
    void paste_from_clipboard();
    /// Makes the caption show the text, with the caret mark while editing.
    void refresh_caption();

    unsigned m_caret = 0;
    bool m_editing = false;
    std::string m_text;
    int m_max_chars = 0;
    bool m_multiline = false;
    bool m_permanent_focus = false;
    TextSprite m_caption;
    Socket<void()> m_on_enter;
    Socket<void()> m_on_change;
    Socket<void()> m_on_caret;
};

}

KQ_TYPE_NAME(kq::EditBox, "class kq::EditBox");
