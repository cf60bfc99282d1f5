#include "engine/base/foundation_types.h"
#include "engine/res/res_registration.h"
#include "engine/res/skin_registration.h"
#include "game/shell/vimo.h"

int main()
{
    // The type registration groups, in their fixed order.
    kq::register_foundation_types();
    kq::register_res_handle_types();
    kq::register_skin_types();

    kq::Vimo vimo;
    return vimo.run();
}
