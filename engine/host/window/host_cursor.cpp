#include "engine/host/window/host_cursor.h"

#include <map>
#include <vector>

#include <SDL.h>

#include "engine/host/system/clock.h"

namespace kq::host {

namespace {

/// The system's copy of each picture of a shape, made when the shape is first shown.
std::map<const CursorShape*, std::vector<SDL_Cursor*>>& system_copies()
{
    static std::map<const CursorShape*, std::vector<SDL_Cursor*>> copies;
    return copies;
}

/// The shape set last, when made of pictures, with when it was set and the frame it shows.
/// Not an owner: a shape that goes away stops its animation.
struct ShownCursor
{
    std::weak_ptr<const CursorShape> shape;
    std::int64_t since_ms = 0;
    int frame = -1;
};

ShownCursor& shown()
{
    static ShownCursor cursor;
    return cursor;
}

SDL_Cursor* make_system_copy(const CursorImage& image)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint8_t*>(image.rgba.data()), image.width, image.height, 32,
        image.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return nullptr;
    SDL_Cursor* cursor = SDL_CreateColorCursor(surface, image.hot_x, image.hot_y);
    SDL_FreeSurface(surface);
    return cursor;
}

const std::vector<SDL_Cursor*>& system_copy(const CursorShape& shape)
{
    auto found = system_copies().find(&shape);
    if (found != system_copies().end())
        return found->second;
    std::vector<SDL_Cursor*> copies;
    if (shape.system_kind() != 0) {
        static const SDL_SystemCursor kinds[] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_IBEAM,
                                                 SDL_SYSTEM_CURSOR_WAIT};
        copies.push_back(SDL_CreateSystemCursor(kinds[shape.system_kind() - 1]));
    } else {
        for (const CursorImage& frame : shape.file().frames)
            copies.push_back(make_system_copy(frame));
    }
    return system_copies().emplace(&shape, std::move(copies)).first->second;
}

void show_frame(const CursorShape& shape, int frame)
{
    if (SDL_Cursor* copy = system_copy(shape)[frame])
        SDL_SetCursor(copy);
}

}

CursorShape::~CursorShape()
{
    const auto found = system_copies().find(this);
    if (found == system_copies().end())
        return;
    for (SDL_Cursor* copy : found->second)
        if (copy)
            SDL_FreeCursor(copy);
    system_copies().erase(found);
}

CursorHandle system_cursor(int kind)
{
    if (kind < 1 || kind > 3)
        return nullptr;
    return std::make_shared<const CursorShape>(kind);
}

void set_cursor(const CursorHandle& cursor)
{
    shown() = ShownCursor{};
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    if (!cursor) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    const int frame = cursor->system_kind() != 0 ? 0 : cursor->file().steps.empty() ? 0 : cursor->file().steps[0].frame;
    show_frame(*cursor, frame);
    if (cursor->system_kind() == 0)
        shown() = ShownCursor{cursor, monotonic_ms(), frame};
    SDL_ShowCursor(SDL_ENABLE);
}

void animate_cursor(std::int64_t now_ms)
{
    ShownCursor& cursor = shown();
    const CursorHandle shape = cursor.shape.lock();
    if (!shape || shape->file().steps.empty() || !SDL_WasInit(SDL_INIT_VIDEO))
        return;
    const std::vector<CursorFile::Step>& steps = shape->file().steps;
    std::int64_t cycle = 0;
    for (const CursorFile::Step& step : steps)
        cycle += step.duration_ms;
    std::int64_t at = (now_ms - cursor.since_ms) % cycle;
    std::size_t step = 0;
    while (at >= steps[step].duration_ms)
        at -= steps[step++].duration_ms;
    if (steps[step].frame != cursor.frame) {
        cursor.frame = steps[step].frame;
        show_frame(*shape, cursor.frame);
    }
}

int shown_cursor_frame()
{
    return shown().shape.expired() ? -1 : shown().frame;
}

void forget_system_cursors()
{
    shown() = ShownCursor{};
    for (const auto& [shape, copies] : system_copies())
        for (SDL_Cursor* copy : copies)
            if (copy)
                SDL_FreeCursor(copy);
    system_copies().clear();
}

}
