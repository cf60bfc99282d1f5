#include <gtest/gtest.h>

#include "engine/base/base_types.h"
#include "engine/res/res_types.h"
#include "engine/ui/ui_types.h"

int main(int argc, char** argv)
{
    // The UI group first, then each library's types, lowest library first.
    kq::register_ui_types();
    kq::register_base_types();
    kq::register_res_types();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
