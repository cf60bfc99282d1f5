#include "engine/res/skin_functions.h"

#include <gtest/gtest.h>

#include "engine/base/random.h"
#include "engine/res/skin_path.h"

namespace kq {
namespace {

using Arguments = std::vector<std::string>;

TEST(SkinFunctions, GiveTheirTexts)
{
    struct Case
    {
        SkinFunction function;
        Arguments arguments;
        const char* context;
        const char* expected;
    };
    const Case cases[] = {
        {skin_or, {"1", "4", "8"}, "", "13"},
        {skin_or, {"10h", "101b", "17o"}, "", "31"},
        {skin_or, {}, "", "0"},
        {skin_cat, {"a", "b", "c"}, "", "abc"},
        {skin_cat, {}, "", ""},
        {skin_rand, {"only"}, "", "only"},
        {skin_rand, {}, "", ""},
        {skin_repeat, {"ab", "3"}, "", "ababab"},
        {skin_repeat, {"ab", "0"}, "", ""},
        {skin_repeat, {"ab", "-2"}, "", ""},
        {skin_repeat, {"ab", "3", "x"}, "", ""},
        {skin_repeat, {"ab"}, "", ""},
        {skin_step, {"-1"}, "a.b.c", "c"},
        {skin_step, {"0"}, "a.b.c", "a"},
        {skin_step, {"2"}, "a.b.c", "c"},
        {skin_step, {"3"}, "a.b.c", ""},
        {skin_step, {"-4"}, "a.b.c", ""},
        {skin_step, {"-2147483648"}, "a.b.c", ""},
        {skin_step, {"0"}, "", ""},
        {skin_step, {"0", "1"}, "a.b.c", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.function(c.arguments, SkinPath(c.context)), c.expected) << c.context << " " << c.arguments.size();
}

TEST(SkinFunctions, RandPicksByTheSharedGenerator)
{
    const Arguments arguments = {"a", "b", "c"};
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        random_seed(seed);
        const int r = random_next();
        random_seed(seed);
        EXPECT_EQ(skin_rand(arguments, SkinPath()), arguments[(r * 3) >> 15]);
    }
}

}
}
