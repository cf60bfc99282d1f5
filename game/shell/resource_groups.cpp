#include "game/shell/resource_groups.h"

#include <cstring>
#include <string>

namespace kq {

namespace {

bool starts_with(const char* path, const char* prefix)
{
    return std::strncmp(path, prefix, std::strlen(prefix)) == 0;
}

unsigned group_of(const char* path)
{
    if (starts_with(path, "data/art/mainmenu"))
        return resource_group::main_menu;
    if (starts_with(path, "data/art/field") || starts_with(path, "data/sound") || starts_with(path, "data/items"))
        return resource_group::field;
    if (starts_with(path, "data/art/academy"))
        return resource_group::academy;
    if (starts_with(path, "data/art/map"))
        return resource_group::map;
    // Plain prefixes tried from chapter 1 up: "data/art/chapters/12" is chapter 1's.
    for (int n = 1; n <= 8; ++n) {
        if (starts_with(path, ("data/art/chapters/" + std::to_string(n)).c_str()))
            return resource_group::chapter(n);
    }
    return resource_group::general;
}

}

bool resource_group_filter(unsigned groups, const char* path)
{
    if (!path || starts_with(path, "data/music"))
        return false;
    return (groups & group_of(path)) != 0;
}

}
