#include "engine/host/window/platform_window.h"

#include <algorithm>
#include <cstdio>

#include <SDL.h>

#include "engine/host/window/code_page_1252.h"
#include "engine/host/window/sdl_window.h"
#include "engine/host/window/window_records.h"

namespace kq::host {

namespace {

constexpr Uint32 fullscreen_flag = SDL_WINDOW_FULLSCREEN_DESKTOP;

DisplayMode display_mode_of(const SDL_DisplayMode& mode)
{
    // Bytes, not bits, of the pixel format: a 24-bit colour held in 32 bits counts as 32.
    return {mode.w, mode.h, static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8, mode.refresh_rate};
}

}

WindowHandle create_window(const ClientRect& rect, MessageHandler handler, int mode,
                           const std::string& title)
{
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (mode & mode_fullscreen)
        flags |= fullscreen_flag;
    SDL_Window* window = SDL_CreateWindow(code_page_to_utf8(title).c_str(), rect.x, rect.y,
                                          rect.w, rect.h, flags);
    if (!window)
        return nullptr;
    add_record(window_handle(window), std::move(handler), mode & mode_fullscreen);
    return window_handle(window);
}

void destroy_window(WindowHandle window)
{
    send_event(window, event_destroyed);
    erase_record(window);
    InputState& state = input_state();
    if (state.mouse_window == window)
        state.mouse_window = nullptr;
    if (state.focus == window)
        state.focus = nullptr;
    if (state.capture == window)
        release_capture();
    SDL_DestroyWindow(sdl_window(window));
}

void set_client_rect(WindowHandle window, const ClientRect& rect)
{
    if (window_mode(window) & mode_fullscreen)
        return;
    SDL_SetWindowSize(sdl_window(window), rect.w, rect.h);
    SDL_SetWindowPosition(sdl_window(window), rect.x, rect.y);
}

void set_window_mode(WindowHandle window, int mode)
{
    WindowRecord* record = find_record(window);
    if (!record || record->mode == (mode & mode_fullscreen))
        return;
    SDL_SetWindowFullscreen(sdl_window(window), (mode & mode_fullscreen) ? fullscreen_flag : 0);
    record->mode = mode & mode_fullscreen;
}

int window_mode(WindowHandle window)
{
    const WindowRecord* record = find_record(window);
    return record ? record->mode : mode_windowed;
}

ClientRect client_rect_on_screen(WindowHandle window)
{
    ClientRect rect;
    SDL_GetWindowPosition(sdl_window(window), &rect.x, &rect.y);
    SDL_GetWindowSize(sdl_window(window), &rect.w, &rect.h);
    return rect;
}

ClientRect desktop_rect()
{
    const DisplayMode mode = current_display_mode();
    return {0, 0, mode.width, mode.height};
}

DisplayMode current_display_mode()
{
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return {};
    return display_mode_of(mode);
}

void display_modes(std::vector<DisplayMode>& modes)
{
    modes.clear();
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
            break;
        if (mode.w > 0 && mode.h > 0)
            modes.push_back(display_mode_of(mode));
    }
    // Full screen never changes the display's mode, so the desktop's own is always there,
    // also on drivers that list nothing.
    const DisplayMode desktop = current_display_mode();
    const bool listed = std::any_of(modes.begin(), modes.end(), [&](const DisplayMode& mode) {
        return mode.width == desktop.width && mode.height == desktop.height &&
               mode.bits_per_pixel == desktop.bits_per_pixel;
    });
    if (!listed && desktop.width > 0)
        modes.push_back(desktop);
}

bool cursor_inside(WindowHandle window)
{
    const InputState& state = input_state();
    if (state.capture == window)
        return true;
    if (state.mouse_window != window)
        return false;
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(sdl_window(window), &w, &h);
    return state.mouse_x >= 0 && state.mouse_y >= 0 && state.mouse_x < w && state.mouse_y < h;
}

Point cursor_position(WindowHandle)
{
    return {input_state().mouse_x, input_state().mouse_y};
}

void set_cursor_position(WindowHandle window, Point point)
{
    SDL_WarpMouseInWindow(sdl_window(window), point.x, point.y);
    input_state().mouse_x = point.x;
    input_state().mouse_y = point.y;
}

void set_capture(WindowHandle window)
{
    // Not every driver can capture; the window counts as holding the capture all the same.
    SDL_CaptureMouse(SDL_TRUE);
    input_state().capture = window;
}

void release_capture()
{
    SDL_CaptureMouse(SDL_FALSE);
    input_state().capture = nullptr;
}

void show_window(WindowHandle window, bool show)
{
    if (show)
        SDL_ShowWindow(sdl_window(window));
    else
        SDL_HideWindow(sdl_window(window));
}

bool set_window_icon(WindowHandle window, int width, int height, const std::uint8_t* rgba)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(rgba), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return false;
    SDL_SetWindowIcon(sdl_window(window), surface);
    SDL_FreeSurface(surface);
    return true;
}

bool is_window_shown(WindowHandle window)
{
    const Uint32 flags = SDL_GetWindowFlags(sdl_window(window));
    const WindowRecord* record = find_record(window);
    const bool minimised = (flags & SDL_WINDOW_MINIMIZED) || (record && record->minimised);
    return (flags & SDL_WINDOW_SHOWN) && !minimised;
}

void activate_window(WindowHandle window)
{
    const Uint32 flags = SDL_GetWindowFlags(sdl_window(window));
    if (!(flags & SDL_WINDOW_SHOWN))
        return;
    if (flags & SDL_WINDOW_MINIMIZED)
        SDL_RestoreWindow(sdl_window(window));
    SDL_RaiseWindow(sdl_window(window));
}

void debug_message(const std::string& text)
{
    const std::string utf8 = code_page_to_utf8(text);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "KQ debug message", utf8.c_str(), nullptr) != 0)
        std::fprintf(stderr, "KQ debug message: %s\n", utf8.c_str());
}

}
