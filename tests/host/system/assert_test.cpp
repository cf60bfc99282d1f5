#include "engine/host/system/assert.h"

#include <gtest/gtest.h>

namespace kq::host {
namespace {

int checked_element(const int* values, int count, int index)
{
    KQ_ASSERT(index >= 0 && index < count);
    return values[index];
}

TEST(AssertDeathTest, ABrokenInvariantEndsTheProcessNamingItsPlace)
{
    const int values[] = {1, 2, 3};
    EXPECT_EQ(checked_element(values, 3, 2), 3);
    EXPECT_DEATH(checked_element(values, 3, 3),
                 "Assertion failed: index >= 0 && index < count \\(.*assert_test.cpp, line 10\\)");
}

}
}
