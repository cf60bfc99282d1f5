#include "engine/ui/edit_box.h"

#include <algorithm>

#include "engine/base/code_page.h"
#include "engine/host/window/clipboard.h"
#include "engine/platform/artist.h"
#include "engine/platform/font.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

// Virtual-key codes of the editing keys.
constexpr int vk_backspace = 8;
constexpr int vk_shift = 16;
constexpr int vk_control = 17;
constexpr int vk_end = 35;
constexpr int vk_home = 36;
constexpr int vk_left = 37;
constexpr int vk_right = 39;
constexpr int vk_insert = 45;
constexpr int vk_delete = 46;

constexpr char carriage_return = 13;
constexpr char line_break = 10;

/// The clipboard's lines as typed Enter keys give them: each "\r\n" or lone "\n" becomes "\r".
std::string as_typed_lines(const std::string& text)
{
    std::string typed;
    typed.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == carriage_return && i + 1 < text.size() && text[i + 1] == line_break)
            continue;
        typed += text[i] == line_break ? carriage_return : text[i];
    }
    return typed;
}

}

EditBox::EditBox(const EditBox& other)
    : Control(other),
      m_caret(other.m_caret),
      m_text(other.m_text),
      m_max_chars(other.m_max_chars),
      m_multiline(other.m_multiline),
      m_permanent_focus(other.m_permanent_focus),
      m_caption(other.m_caption)
{
    m_caption.set_text(m_text);
}

void EditBox::draw(Artist& artist)
{
    Control::draw(artist);
    artist.push_scissor(Rect{2.0f, 2.0f, float(size().x - 4), float(size().y - 4)});
    m_caption.render(artist);
    artist.pop_scissor();
}

bool EditBox::on_key(Key key, KeyState state)
{
    Control::on_key(key, state);
    if (state != state_down)
        return true;
    const unsigned length = unsigned(m_text.size());
    switch (int(key)) {
    case vk_backspace:
        if (m_caret > 0) {
            --m_caret;
            m_text.erase(m_caret, 1);
            refresh_caption();
            m_on_caret.emit();
            m_on_change.emit();
        }
        break;
    case key_enter:
        if (!m_multiline) {
            m_on_enter.emit();
            stop_editing();
            drop_focus();
        }
        break;
    case key_escape:
        stop_editing();
        drop_focus();
        break;
    case vk_end:
        set_caret(length);
        break;
    case vk_home:
        set_caret(0);
        break;
    case vk_left:
        if (m_caret > 0)
            set_caret(m_caret - 1);
        break;
    case vk_right:
        if (m_caret < length)
            set_caret(m_caret + 1);
        break;
    case vk_insert:
        if (!is_key_up(vk_control))
            copy_to_clipboard();
        else if (!is_key_up(vk_shift))
            paste_from_clipboard();
        break;
    case vk_delete:
        if (m_caret < length) {
            m_text.erase(m_caret, 1);
            refresh_caption();
            m_on_change.emit();
        }
        break;
    default:
        break;
    }
    return true;
}

bool EditBox::accepts(char character)
{
    if (m_max_chars != 0 && m_text.size() >= std::size_t(m_max_chars))
        return false;
    if (static_cast<unsigned char>(character) < 32 && !(character == carriage_return && m_multiline))
        return false;
    const Font* font = m_caption.font();
    return font && font->has_glyph(widen_char(nullptr, character));
}

std::size_t EditBox::insert_filtered(const std::string& bytes)
{
    std::size_t inserted = 0;
    for (const char byte : bytes) {
        if (!accepts(byte))
            continue;
        m_text.insert(m_text.begin() + m_caret, byte == carriage_return ? line_break : byte);
        ++m_caret;
        ++inserted;
    }
    return inserted;
}

bool EditBox::on_char(char character)
{
    if (insert_filtered(std::string(1, character)) > 0) {
        refresh_caption();
        m_on_change.emit();
    }
    return true;
}

void EditBox::copy_to_clipboard() const
{
    host::set_clipboard_text(m_text);
}

void EditBox::paste_from_clipboard()
{
    // Pasted text passes the filter of typed text, so the limit, control characters and the
    // font hold whatever the clipboard carries; a paste that brings nothing changes nothing.
    if (insert_filtered(as_typed_lines(host::get_clipboard_text())) == 0)
        return;
    refresh_caption();
    m_on_change.emit();
}

void EditBox::on_set_focus()
{
    start_editing();
}

void EditBox::on_kill_focus()
{
    if (!m_permanent_focus)
        stop_editing();
}

void EditBox::on_attached()
{
    if (m_permanent_focus)
        start_editing();
}

void EditBox::on_detach()
{
    stop_editing();
    Control::on_detach();
}

void EditBox::relayout()
{
    Control::relayout();
    m_caption.set_rect(RectI{2, 2, size().x - 4, size().y - 4});
}

void EditBox::read_skin()
{
    Control::read_skin();
    read_skin_value(path() + "max_chars", &m_max_chars);
    read_skin_value(path() + "multiline", &m_multiline);
    read_skin_value(path() + "permanent_focus", &m_permanent_focus);
    m_caption.read_skin(path() + "caption");
    refresh_caption();
}

void EditBox::set_text(const std::string& text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_caret = unsigned(m_text.size());
    refresh_caption();
    m_on_change.emit();
}

void EditBox::set_caret(unsigned position)
{
    // A caret past the end would make the next Backspace or insertion index outside the text.
    position = std::min(position, unsigned(m_text.size()));
    if (position == m_caret)
        return;
    m_caret = position;
    if (m_editing)
        refresh_caption();
    m_on_caret.emit();
}

void EditBox::start_editing()
{
    if (m_editing)
        return;
    m_editing = true;
    m_caret = unsigned(m_text.size());
    grab_keys(1);
    refresh_caption();
}

void EditBox::stop_editing()
{
    if (!m_editing)
        return;
    release_keys();
    m_editing = false;
    refresh_caption();
}

void EditBox::refresh_caption()
{
    std::string shown = m_text;
    if (m_editing)
        shown.insert(m_caret, 1, '|');
    m_caption.set_text(shown);
}

}
