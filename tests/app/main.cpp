#include <gtest/gtest.h>

#include "engine/base/foundation_types.h"
#include "engine/res/res_registration.h"
#include "engine/res/skin_registration.h"

int main(int argc, char** argv)
{
    // The type registration groups, in their fixed order.
    kq::register_foundation_types();
    kq::register_res_handle_types();
    kq::register_skin_types();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
