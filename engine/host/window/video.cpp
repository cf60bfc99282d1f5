#include "engine/host/window/video.h"

#include <SDL.h>

#include "engine/host/window/host_cursor.h"

namespace kq::host {

namespace {

int g_users = 0;

}

VideoSystem::VideoSystem()
{
    // The process watches its own quit signals; SDL must not take them over.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing the window is a command the game answers, not a quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The window minimises itself on losing activation where it must (see the event pump).
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    m_ready = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (m_ready)
        ++g_users;
}

VideoSystem::~VideoSystem()
{
    if (!m_ready)
        return;
    // The system's cursors die with the video; shapes that live on make new ones later.
    if (--g_users == 0)
        forget_system_cursors();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::string VideoSystem::driver_name()
{
    const char* name = SDL_GetCurrentVideoDriver();
    return name ? name : "";
}

std::string VideoSystem::last_error()
{
    return SDL_GetError();
}

}
