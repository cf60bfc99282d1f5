#include "engine/res/res_registration.h"

#include "engine/base/class_desc.h"
#include "engine/res/res_handle_base.h"

namespace kq {

void register_res_handle_types()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    rtti::AbstractClassDesc<ResHandleBase>::instance();
}

}
