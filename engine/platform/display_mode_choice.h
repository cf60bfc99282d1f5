#pragma once

#include <vector>

#include "engine/base/vector2.h"
#include "engine/host/window/platform_window.h"

namespace kq {

class TStream;

/// Whether a window whose logical size is fixed opens full screen. A windowed request needs
/// a desktop strictly larger than the logical size in both directions, else it goes full
/// screen; full screen needs one of `modes` with the desktop's size and depth, else it stays
/// windowed. Each fallback from what was asked is logged to `log` (a full-screen request the
/// display cannot list falls back silently).
bool choose_fullscreen(bool fullscreen, Vector2<int> logical_size, const host::DisplayMode& desktop,
                       const std::vector<host::DisplayMode>& modes, TStream& log);

}
