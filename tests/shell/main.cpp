#include <gtest/gtest.h>

#include "game/shell/app/start_up.h"

int main(int argc, char** argv)
{
    kq::register_game_start_up();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
