#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The host audio layer registers nothing.
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
