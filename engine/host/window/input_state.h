#pragma once

namespace kq::host {

struct HostWindow;
/// A window of the host layer; null for none.
using WindowHandle = HostWindow*;

/// The keyboard and mouse as the event pump last saw them. It is kept from the events
/// themselves, never asked of the system, so that events put in the queue by hand act as
/// real ones. One per process, like the keyboard and the mouse.
struct InputState
{
    /// Whether the key (a virtual-key code, or mouse button 1, 2 or 4) is held.
    bool key_down[256] = {};
    /// The cursor in client pixels of the window it was last seen over.
    int mouse_x = 0;
    int mouse_y = 0;
    /// The window the cursor is over; null when over none of ours.
    WindowHandle mouse_window = nullptr;
    /// The window that has the mouse capture; null when none has.
    WindowHandle capture = nullptr;
    /// The window that has the keyboard focus; null when none has.
    WindowHandle focus = nullptr;

    /// Marks every key released (the keyboard went to another program).
    void release_keys();
};

/// The process's input state.
InputState& input_state();

/// Whether the key (a virtual-key code, or mouse button 1, 2 or 4) is held now; false for
/// codes outside 0 to 255.
bool is_key_down(int vk);

}
