#pragma once

// For the host layer only (it includes SDL): the SDL window behind a handle, which is what
// an OpenGL context is made for.
#include <SDL_video.h>

#include "engine/host/window/input_state.h"

namespace kq::host {

/// The SDL window of a handle (windows are made with `SDL_WINDOW_OPENGL`).
inline SDL_Window* sdl_window(WindowHandle window)
{
    return reinterpret_cast<SDL_Window*>(window);
}

/// The handle of an SDL window.
inline WindowHandle window_handle(SDL_Window* window)
{
    return reinterpret_cast<WindowHandle>(window);
}

}
