#include "engine/host/window/input_state.h"

#include <algorithm>
#include <iterator>

namespace kq::host {

void InputState::release_keys()
{
    std::fill(std::begin(key_down), std::end(key_down), false);
}

InputState& input_state()
{
    static InputState state;
    return state;
}

bool is_key_down(int vk)
{
    return vk >= 0 && vk < 256 && input_state().key_down[vk];
}

}
