#include "engine/base/string_utils.h"

#include <gtest/gtest.h>

#include <climits>

namespace kq {
namespace {

TEST(StringUtils, ConcatStringsStopsAtTheFirstNull)
{
    EXPECT_EQ(concat_strings("a", "b", "c", nullptr), "abc");
    EXPECT_EQ(concat_strings(nullptr), "");
    EXPECT_EQ(concat_strings("a", nullptr, "c", nullptr), "a");
}

TEST(StringUtils, ToIntReadsTheRadixFromTheLastLetter)
{
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"", 0},
        {"b", 0},            // radix 2, no digit
        {"101b", 5},
        {"101B", 5},
        {"1Fh", 31},
        {"FFh", 255},
        {"0x1Fh", 31},       // strtol accepts the 0x prefix in radix 16
        {"17o", 15},
        {"42", 42},
        {"-7", -7},
        {"  +12", 12},
        {"12abc", 12},
        {"abc", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999", INT_MAX},
        {"-FFFFFFFFFFFFh", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(to_int(c.text), c.expected) << '"' << c.text << '"';
}

TEST(StringUtils, BytesEqualAndStartsWith)
{
    EXPECT_TRUE(bytes_equal("abc", "abd", 2));
    EXPECT_FALSE(bytes_equal("abc", "abd", 3));
    EXPECT_TRUE(bytes_equal(nullptr, nullptr, 0));

    struct Case {
        const char* s;
        const char* prefix;
        bool expected;
    };
    const Case cases[] = {
        {"abc", "", true},
        {"abc", "ab", true},
        {"abc", "abc", true},
        {"ab", "abc", false},
        {"abc", "b", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(starts_with(c.s, c.prefix), c.expected) << c.s << " / " << c.prefix;
}

}
}
