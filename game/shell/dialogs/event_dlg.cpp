#include "game/shell/dialogs/event_dlg.h"

#include <algorithm>

#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/platform/artist.h"
#include "game/shell/app/game.h"

namespace kq {

namespace {

// Whether the condition holds for the current player; without one, for a new player.
bool condition_holds(Condition condition)
{
    static const Profile newcomer;
    const Game* game = Game::instance();
    return (game && game->m_profile ? *game->m_profile : newcomer).check_condition(condition);
}

void render_if_set(const SharedPtr<Sprite>& sprite, Artist& artist)
{
    if (!sprite)
        return;
    sprite->tick(TimeStamp{TimeStamp::millisecond_clock, static_cast<std::int32_t>(time_ms()), nullptr});
    sprite->render(artist);
}

}

EventDlg::EventDlg(const Chapter* chapter, const std::vector<MissionEvent>* events)
    : m_chapter(chapter), m_events(events)
{
}

EventDlg::~EventDlg()
{
    detach();
}

void EventDlg::show_current()
{
    for (; m_index < m_events->size(); ++m_index) {
        const MissionEvent& event = (*m_events)[m_index];
        if (condition_holds(event.condition)) {
            set_variable("text", event.text);
            return;
        }
    }
    close(dialog_result_ok());
}

void EventDlg::draw(Artist& artist)
{
    const float alpha = std::min(float(time_ms() - m_start) * 0.001f, 1.0f);
    artist.multiply_global_color({1.0f, 1.0f, 1.0f, alpha});
    Control::draw(artist);
    if (m_chapter)
        render_if_set(m_chapter->background, artist);
    if (m_index < m_events->size())
        render_if_set((*m_events)[m_index].image, artist);
    if (m_chapter)
        render_if_set(m_chapter->overground, artist);
    artist.pop_global_color();
}

bool EventDlg::on_key(Key, KeyState state)
{
    if (state == state_down) {
        ++m_index;
        show_current();
    }
    return true;
}

void EventDlg::on_attached()
{
    Dialog::on_attached();
    m_start = time_ms();
    if (host())
        host()->push_focus(this, 0);
    show_current();
}

void EventDlg::on_detach()
{
    if (host())
        host()->release_focus(this);
    Dialog::on_detach();
}

}
