#pragma once

#include <cstdint>
#include <vector>

#include "engine/ui/dialog.h"
#include "game/shell/progress/chapter.h"
#include "game/shell/progress/mission_event.h"

namespace kq {

/// A mission's story events, one after another over the chapter's scenery: each event whose
/// condition holds for the current player shows its picture and puts its text in the
/// variable "text"; any key or mouse press goes on to the next, and after the last the dialog
/// closes with "ok". It fades in over a second. Built on the stack from "dialogs.event" and
/// run modally by the travel map; the chapter and the events must outlive it.
class EventDlg : public Dialog
{
public:
    /// The events to show (not owned) over the chapter's scenery (not owned, may be null).
    EventDlg(const Chapter* chapter, const std::vector<MissionEvent>* events);
    ~EventDlg() override;
    EventDlg(const EventDlg&) = delete;

    /// Shows the event at the index, or the next one whose condition holds; closes the
    /// dialog with "ok" when none is left.
    void show_current();

    /// The fading look: the dialog's sprite, the chapter's background, the event's picture,
    /// the chapter's overground.
    void draw(Artist& artist) override;
    /// Every press goes on to the next event; every input is taken.
    bool on_key(Key key, KeyState state) override;
    /// Starts the fade, takes the keys and shows the first event.
    void on_attached() override;
    /// Gives the keys back.
    void on_detach() override;

    /// The event shown.
    unsigned index() const { return m_index; }

private:
    const Chapter* m_chapter;
    const std::vector<MissionEvent>* m_events;
    unsigned m_index = 0;
    std::int64_t m_start = 0;
};

}
