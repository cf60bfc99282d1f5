#include "game/shell/app/resource_groups.h"

#include <string>
#include <string_view>

namespace kq {

namespace {

unsigned group_of(std::string_view path)
{
    if (path.starts_with("art/mainmenu"))
        return resource_group::main_menu;
    if (path.starts_with("art/field") || path.starts_with("sound") || path.starts_with("items"))
        return resource_group::field;
    if (path.starts_with("art/academy"))
        return resource_group::academy;
    if (path.starts_with("art/map"))
        return resource_group::map;
    // Plain prefixes tried from chapter 1 up: "art/chapters/12" is chapter 1's.
    for (int n = 1; n <= 8; ++n) {
        if (path.starts_with("art/chapters/" + std::to_string(n)))
            return resource_group::chapter(n);
    }
    return resource_group::general;
}

}

bool resource_group_filter(unsigned groups, const char* path)
{
    if (!path)
        return false;
    // The resource manager keeps paths inside the data tree ("art/map/map.jpg", as the root
    // file's search path "data" finds them); a path from the game's folder names the same file.
    std::string_view inside(path);
    if (inside.starts_with("data/"))
        inside.remove_prefix(5);
    if (inside.starts_with("music"))
        return false;
    return (groups & group_of(inside)) != 0;
}

}
