#pragma once

#include "engine/host/window/input_state.h"

namespace kq::host {

/// One pass of the message pump: tells the window whether the cursor came inside or went
/// outside since the last pass (events 10 and 11), then takes every event waiting in the
/// queue, keeps the input state from it and hands the window events it makes to the handler
/// of the window it belongs to, synchronously, in queue order.
///
/// Keys held with the left Alt, that Alt key itself and F10 give no key events, except
/// Alt+Enter (command 2) and Alt+F4 (command 1); the right Alt (AltGr) is an ordinary key; Enter, Backspace and Escape also give the characters
/// 13, 8 and 27; typed text gives one character per code-page byte, dropping what the game's
/// code page lacks. A full-screen window minimises itself when it becomes inactive and comes
/// back to the front when it becomes active again. Last, an animated cursor shows the step
/// now due.
///
/// Returns how many window events were dropped because their window had no record or no
/// handler (none are thrown).
int pump(WindowHandle window);

}
