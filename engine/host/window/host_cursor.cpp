#include "engine/host/window/host_cursor.h"

#include <map>

#include <SDL.h>

namespace kq::host {

namespace {

std::map<const CursorShape*, SDL_Cursor*>& system_copies()
{
    static std::map<const CursorShape*, SDL_Cursor*> copies;
    return copies;
}

SDL_Cursor* make_system_copy(const CursorShape& shape)
{
    if (shape.system_kind() != 0) {
        static const SDL_SystemCursor kinds[] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_IBEAM,
                                                 SDL_SYSTEM_CURSOR_WAIT};
        return SDL_CreateSystemCursor(kinds[shape.system_kind() - 1]);
    }
    const CursorImage& image = shape.image();
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint8_t*>(image.rgba.data()), image.width, image.height, 32,
        image.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return nullptr;
    SDL_Cursor* cursor = SDL_CreateColorCursor(surface, image.hot_x, image.hot_y);
    SDL_FreeSurface(surface);
    return cursor;
}

SDL_Cursor* system_copy(const CursorShape& shape)
{
    auto found = system_copies().find(&shape);
    if (found == system_copies().end())
        found = system_copies().emplace(&shape, make_system_copy(shape)).first;
    return found->second;
}

}

CursorShape::~CursorShape()
{
    const auto found = system_copies().find(this);
    if (found == system_copies().end())
        return;
    if (found->second)
        SDL_FreeCursor(found->second);
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
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    if (!cursor) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    if (SDL_Cursor* copy = system_copy(*cursor))
        SDL_SetCursor(copy);
    SDL_ShowCursor(SDL_ENABLE);
}

void forget_system_cursors()
{
    for (const auto& [shape, copy] : system_copies())
        if (copy)
            SDL_FreeCursor(copy);
    system_copies().clear();
}

}
