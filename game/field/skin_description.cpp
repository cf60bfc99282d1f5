#include "game/field/skin_description.h"

#include <set>
#include <string>

#include "engine/base/log.h"
#include "engine/res/skin_environment.h"

namespace kq {

bool is_described(const SkinPath& path)
{
    if (require_skin_environment().try_find_node(path, true))
        return true;
    static std::set<SkinPath> reported;
    if (reported.insert(path).second)
        log_error(("Nothing is described at [" + path.text() + "]; skipped").c_str(), __FILE__, __LINE__);
    return false;
}

}
