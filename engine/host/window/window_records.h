#pragma once

#include "engine/host/window/input_state.h"
#include "engine/host/window/window_message.h"

namespace kq::host {

/// What the host layer keeps of each of its windows.
struct WindowRecord
{
    bool inside = false;     ///< the cursor was inside the client area at the last pump
    bool active = false;     ///< the window was active at the last activation change
    bool minimised = false;  ///< the window is minimised
    int mode = 0;            ///< 1 full screen, 0 windowed
    MessageHandler handler;  ///< where the window's events go
};

/// Records a new window (replacing a record the handle may have had).
WindowRecord& add_record(WindowHandle window, MessageHandler handler, int mode);

/// Forgets the window's record.
void erase_record(WindowHandle window);

/// The window's record; null when it has none.
WindowRecord* find_record(WindowHandle window);

/// Hands {type, a, b, 0} to the window's handler at once; false (and nothing sent) when the
/// window has no record or its record no handler.
bool send_event(WindowHandle window, int type, int a = 0, int b = 0);

}
