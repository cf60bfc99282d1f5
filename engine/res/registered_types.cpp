#include "engine/res/registered_types.h"

#include "engine/base/foundation_types.h"
#include "engine/res/res_registration.h"
#include "engine/res/skin_registration.h"

namespace kq {

void register_resource_layer_types()
{
    register_foundation_types();
    register_res_handle_types();
    register_skin_types();
}

}
