#include "engine/ui/help_dialog.h"

#include <algorithm>

#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"

namespace kq {

namespace {

/// Distance kept from the mouse, and from the parent's edges.
constexpr int mouse_offset = 20;
constexpr int edge_margin = 10;
constexpr int text_border = 2;

}

void HelpDialog::read_skin()
{
    Dialog::read_skin();
    m_text.read_skin(path() + "reference");
}

void HelpDialog::draw(Artist& artist)
{
    Control::draw(artist);
    m_text.tick(TimeStamp{TimeStamp::millisecond_clock, static_cast<std::int32_t>(time_ms()), nullptr});
    m_text.render(artist);
}

void HelpDialog::relayout()
{
    Control::relayout();
    if (!is_attached() || !parent())
        return;
    const Vector2<int> mouse = parent()->mouse_position();
    const Vector2<int> room = parent()->size();
    int x = std::max(mouse.x - mouse_offset, edge_margin);
    int y = std::max(mouse.y - mouse_offset, edge_margin);
    // The right and bottom margins win over the left and top ones.
    x -= std::max(x + size().x + edge_margin - room.x, 0);
    y -= std::max(y + size().y + edge_margin - room.y, 0);
    set_position({x, y});
    update_layout(false);
    m_text.set_rect(RectI{text_border, text_border, size().x - 2 * text_border, size().y - 2 * text_border});
}

bool HelpDialog::on_key(Key key, KeyState state)
{
    if (state == state_up) {
        close(dialog_result_ok());
        return true;
    }
    return Dialog::on_key(key, state);
}

void HelpDialog::append_text(const std::string& text)
{
    m_text.set_text(m_text.text() + text);
}

}
