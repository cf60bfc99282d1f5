#include "engine/host/system/user_language.h"

#include <cstdlib>
#include <string_view>

namespace kq::host {

int language_index_of_locale(const char* locale)
{
    struct Entry {
        std::string_view code;
        int index;
    };
    static constexpr Entry table[] = {
        {"en", 1}, {"ru", 2}, {"uk", 2}, {"be", 2}, {"da", 3}, {"es", 4}, {"fr", 5},
        {"de", 6}, {"it", 7}, {"ja", 8}, {"nl", 9}, {"pt", 10}, {"sv", 11},
    };
    std::string_view name(locale ? locale : "");
    // The primary language is what stands before the territory, code set or modifier.
    std::string_view primary = name.substr(0, name.find_first_of("_.@"));
    for (const Entry& entry : table) {
        if (entry.code == primary)
            return entry.index;
    }
    return 0;
}

int get_user_language()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return language_index_of_locale(value);
    }
    return 0;
}

}
