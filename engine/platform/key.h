#pragma once

#include <cstdint>

#include "engine/base/type_name.h"

namespace kq {

/// An input code: the mouse buttons 1, 2 and 4, and keyboard keys by their virtual-key
/// codes. Any code may travel in it; only some have names (F1, F4, F5, the arrows and the
/// modifiers have none).
enum Key : std::int32_t
{
    key_none = 0,
    key_mouse_left = 1,
    key_mouse_right = 2,
    key_mouse_middle = 4,
    key_enter = 0x0D,
    key_escape = 0x1B,
    key_space = 0x20,
    key_0 = 0x30, key_1, key_2, key_3, key_4, key_5, key_6, key_7, key_8, key_9,
    key_a = 0x41, key_b, key_c, key_d, key_e, key_f, key_g, key_h, key_i, key_j, key_k, key_l,
    key_m, key_n, key_o, key_p, key_q, key_r, key_s, key_t, key_u, key_v, key_w, key_x, key_y,
    key_z,
    key_f2 = 0x71,
    key_f3 = 0x72,
    key_f6 = 0x75, key_f7, key_f8, key_f9, key_f10, key_f11, key_f12,
};

/// What happened to a key: pressed, released, or double-clicked (a mouse button).
enum KeyState : std::int32_t
{
    state_down = 0,
    state_up = 1,
    state_double_click = 2,
};

/// Registers the names of `Key`, in their fixed order. Later calls do nothing.
void register_key_types();

}

KQ_TYPE_NAME(kq::Key, "enum kq::Key");
