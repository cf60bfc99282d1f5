#include <gtest/gtest.h>

#include "engine/res/registered_types.h"

int main(int argc, char** argv)
{
    // The type registration groups, in their fixed order.
    kq::register_resource_layer_types();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
