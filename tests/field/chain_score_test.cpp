#include <gtest/gtest.h>

#include "game/field/chain_score.h"
#include "tests/field/vimu_fixture.h"

namespace kq {
namespace {

// A piece joins the chain of its cause while that chain is open, else a new one; the chain
// closes when its last dying piece leaves, reporting every piece that joined it.
TEST(ChainScore, ChainsCloseWithTheirLastPiece)
{
    Item a;
    Item b;
    Item c;
    ChainScore score;
    const int first = score.join_chain(a, 0);
    EXPECT_EQ(score.join_chain(b, first), first);
    EXPECT_EQ(score.join_chain(c, 99), first + 1) << "a cause's chain that is not open starts a new one";
    EXPECT_EQ(score.chain_counts(), (std::map<int, int>{{first, 2}, {first + 1, 1}}));

    EXPECT_EQ(score.leave_chain(a, first), 0);
    EXPECT_EQ(score.leave_chain(b, first), 2);
    EXPECT_EQ(score.leave_chain(b, first), 0) << "a closed chain is gone";
    EXPECT_EQ(score.chain_counts(), (std::map<int, int>{{first + 1, 1}}));
}

// The shot's piece counts one hit per 10 ms; its ricochet, trail and flight are each judged
// once.
TEST(ChainScore, TheShotIsJudgedOnceForEachOfItsBonuses)
{
    test::PieceField f;
    Vimu* piece = f.add("red", {300, 300});
    Vimu& other = *f.add("blue", {500, 300});
    ChainScore score;
    score.start_shot(*piece, 100);
    for (int time : {105, 110, 111, 130})
        score.count_hit(*piece, time);
    score.count_hit(other, 200);
    EXPECT_EQ(score.shot().hits, 2) << "hits at 111 and 130";

    int rebounds = 0;
    EXPECT_FALSE(score.end_ricochet(other, rebounds));
    EXPECT_TRUE(score.end_ricochet(*piece, rebounds));
    EXPECT_EQ(rebounds, 1);
    EXPECT_FALSE(score.end_ricochet(*piece, rebounds));
    EXPECT_TRUE(score.extend_trail(*piece));
    EXPECT_FALSE(score.extend_trail(*piece));
    EXPECT_EQ(score.trail_count(), 1);
    EXPECT_TRUE(score.end_flight(*piece));
    EXPECT_FALSE(score.end_flight(*piece));

    score.start_shot(*piece, 300);
    score.break_trail_if_alive();
    EXPECT_EQ(score.trail_count(), 0) << "the shot's piece lived through its turn";
}

}
}
