#pragma once

namespace kq::host {

// Virtual-key codes that the event translation itself acts on.
constexpr int vk_back = 0x08;
constexpr int vk_tab = 0x09;
constexpr int vk_return = 0x0D;
constexpr int vk_shift = 0x10;
constexpr int vk_control = 0x11;
constexpr int vk_menu = 0x12;  ///< Alt
constexpr int vk_escape = 0x1B;
constexpr int vk_f4 = 0x73;
constexpr int vk_f10 = 0x79;

/// The virtual-key code of an SDL key (its `SDL_Keycode` and `SDL_Scancode`): letters and
/// digits by the character the layout gives the key, every other key by its position; 0 for
/// a key that has no code. Left and right modifiers share one code, as do the two Enter keys.
int virtual_key(int sdl_keycode, int sdl_scancode);

}
