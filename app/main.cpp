#include "engine/res/registered_types.h"
#include "engine/res/skin_startup.h"
#include "game/shell/vimo.h"

int main()
{
    // The type registration groups, in their fixed order.
    kq::register_resource_layer_types();
    // The documents, constants and functions the skin service starts with.
    kq::register_skin_startup_list();

    kq::Vimo vimo;
    return vimo.run();
}
