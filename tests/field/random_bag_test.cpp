#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/base/random.h"
#include "game/field/random_bag.h"

namespace kq {
namespace {

TEST(RandomBag, UniformWeightsDealAShuffledDeck)
{
    random_seed(3);
    RandomBag bag;
    bag.reset_uniform(5);
    for (int round = 0; round < 4; ++round) {
        std::vector<int> dealt;
        for (int i = 0; i < 5; ++i)
            dealt.push_back(bag.next());
        std::sort(dealt.begin(), dealt.end());
        EXPECT_EQ(dealt, (std::vector<int>{0, 1, 2, 3, 4})) << "round " << round;
    }
}

TEST(RandomBag, HeavierEntriesComeUpLessAndWeightZeroNever)
{
    random_seed(11);
    RandomBag bag;
    bag.set_weights({1.0f, 2.0f, 0.0f, 4.0f});
    std::vector<int> counts(4, 0);
    for (int i = 0; i < 70; ++i)
        ++counts[bag.next()];
    EXPECT_EQ(counts[2], 0);
    EXPECT_NEAR(counts[0], 40, 1);
    EXPECT_NEAR(counts[1], 20, 1);
    EXPECT_NEAR(counts[3], 10, 1);
}

TEST(RandomBag, NothingToDrawGivesMinusOne)
{
    RandomBag bag;
    EXPECT_EQ(bag.next(), -1);
    bag.set_weights({0.0f, 1e-8f});
    EXPECT_EQ(bag.next(), -1);
    bag.reset_uniform(0);
    EXPECT_EQ(bag.next(), -1);
    bag.set_weights({-2.0f});
    EXPECT_EQ(bag.next(), 0) << "a negative weight counts by its size";
}

}
}
