#include "engine/ui/hardware_cursor.h"

#include <set>
#include <string>

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/tstream.h"

namespace kq {

Cursor* load_hardware_cursor(ResHandle<Cursor>& handle)
{
    // A cursor is asked for at every change of the hovered control: a missing one would
    // otherwise be searched for, and reported, every time.
    static std::set<std::string> failed;
    if (handle.empty() || failed.count(handle.path()))
        return nullptr;
    try {
        return handle.get();
    } catch (const Exception& error) {
        failed.insert(handle.path());
        get_log("ui") << "! cursor " << handle.path().c_str() << " not loaded: " << error.what() << t_io::endl;
        return nullptr;
    }
}

}
