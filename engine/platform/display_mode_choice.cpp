#include "engine/platform/display_mode_choice.h"

#include <algorithm>

#include "engine/base/tstream.h"

namespace kq {

bool choose_fullscreen(bool fullscreen, Vector2<int> logical_size, const host::DisplayMode& desktop,
                       const std::vector<host::DisplayMode>& modes, TStream& log)
{
    bool forced = false;
    if (!fullscreen && !(desktop.width > logical_size.x && desktop.height > logical_size.y)) {
        log << "! unable to set windowed mode. screen region to small." << t_io::endl;
        fullscreen = forced = true;
    }
    if (!fullscreen)
        return false;
    const bool listed = std::any_of(modes.begin(), modes.end(), [&](const host::DisplayMode& mode) {
        return mode.width == desktop.width && mode.height == desktop.height &&
               mode.bits_per_pixel == desktop.bits_per_pixel;
    });
    // Falling back from the fallback leaves a window too large for the desktop: say so.
    if (!listed && forced)
        log << "! unable to set fullscreen mode either. no display mode matches the desktop." << t_io::endl;
    return listed;
}

}
