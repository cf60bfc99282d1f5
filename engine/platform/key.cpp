#include "engine/platform/key.h"

#include <string>

#include "engine/base/enum_desc.h"

namespace kq {

void register_key_types()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    rtti::EnumBase& names = rtti::EnumDesc<Key>::instance();
    names.add("key_mouse_left", key_mouse_left);
    names.add("key_mouse_right", key_mouse_right);
    names.add("key_mouse_middle", key_mouse_middle);
    names.add("key_none", key_none);
    for (int digit = 1; digit <= 9; ++digit)
        names.add("key_" + std::to_string(digit), key_0 + digit);
    names.add("key_0", key_0);
    names.add("key_f2", key_f2);
    names.add("key_f3", key_f3);
    for (int f = 6; f <= 12; ++f)
        names.add("key_f" + std::to_string(f), key_f6 + f - 6);
    names.add("key_escape", key_escape);
    names.add("key_enter", key_enter);
    names.add("key_space", key_space);
    for (char letter = 'a'; letter <= 'z'; ++letter)
        names.add(std::string("key_") + letter, key_a + letter - 'a');
}

}
