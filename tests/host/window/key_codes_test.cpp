#include "engine/host/window/key_codes.h"

#include <SDL_keyboard.h>
#include <gtest/gtest.h>

namespace kq::host {
namespace {

TEST(KeyCodes, SdlKeysBecomeVirtualKeyCodes)
{
    struct Case { const char* title; int keycode; int scancode; int vk; };
    const Case cases[] = {
        {"letter", SDLK_a, SDL_SCANCODE_A, 0x41},
        {"letter where the layout puts it", SDLK_a, SDL_SCANCODE_Q, 0x41},
        {"letter of another script", 0x444, SDL_SCANCODE_A, 0x41},
        {"digit", SDLK_7, SDL_SCANCODE_7, 0x37},
        {"digit key that types punctuation", SDLK_AMPERSAND, SDL_SCANCODE_1, 0x31},
        {"F1 (no name, still a code)", SDLK_F1, SDL_SCANCODE_F1, 0x70},
        {"F12", SDLK_F12, SDL_SCANCODE_F12, 0x7B},
        {"Enter", SDLK_RETURN, SDL_SCANCODE_RETURN, 0x0D},
        {"keypad Enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 0x0D},
        {"Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0x1B},
        {"Space", SDLK_SPACE, SDL_SCANCODE_SPACE, 0x20},
        {"Backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 0x08},
        {"Left", SDLK_LEFT, SDL_SCANCODE_LEFT, 0x25},
        {"Down", SDLK_DOWN, SDL_SCANCODE_DOWN, 0x28},
        {"Insert", SDLK_INSERT, SDL_SCANCODE_INSERT, 0x2D},
        {"Delete", SDLK_DELETE, SDL_SCANCODE_DELETE, 0x2E},
        {"right Shift", SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 0x10},
        {"left Ctrl", SDLK_LCTRL, SDL_SCANCODE_LCTRL, 0x11},
        {"right Alt", SDLK_RALT, SDL_SCANCODE_RALT, 0x12},
        {"keypad 5", SDLK_KP_5, SDL_SCANCODE_KP_5, 0x65},
        {"minus", SDLK_MINUS, SDL_SCANCODE_MINUS, 0xBD},
        {"unknown", SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0},
        {"media key", SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(virtual_key(c.keycode, c.scancode), c.vk) << c.title;
}

}
}
