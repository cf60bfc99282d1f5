#include <gtest/gtest.h>

#include "game/shell/progress/score_list.h"

namespace kq {
namespace {

Profiles profiles_with(std::initializer_list<ScoreEntry> entries)
{
    Profiles profiles;
    for (const ScoreEntry& entry : entries) {
        Profile& profile = profiles.emplace_back();
        profile.name = entry.name;
        profile.score = entry.score;
    }
    return profiles;
}

TEST(ScoreListTest, BestOfRecordedAndInProgressPerNameHighestFirstAtMostFive)
{
    struct Case
    {
        const char* what;
        ScoreTable table;
        Profiles profiles;
        std::vector<ScoreEntry> expected;
    };
    const Case cases[] = {
        {"empty", {}, {}, {}},
        {"table alone, by score", {{"ann", 10}, {"bob", 30}, {"cid", 20}}, {},
         {{"bob", 30}, {"cid", 20}, {"ann", 10}}},
        {"a profile above its entry shows its game", {{"ann", 10}, {"bob", 30}}, profiles_with({{"ann", 50}}),
         {{"ann", 50}, {"bob", 30}}},
        {"a profile below its entry keeps the entry", {{"ann", 40}}, profiles_with({{"ann", 5}}), {{"ann", 40}}},
        {"a profile without an entry is listed", {{"ann", 40}}, profiles_with({{"dan", 0}, {"eve", 45}}),
         {{"eve", 45}, {"ann", 40}, {"dan", 0}}},
        {"six names give five", {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}}, profiles_with({{"f", 6}}),
         {{"f", 6}, {"e", 5}, {"d", 4}, {"c", 3}, {"b", 2}}},
        {"ties keep name order", {{"b", 7}, {"a", 7}}, profiles_with({{"c", 7}}), {{"a", 7}, {"b", 7}, {"c", 7}}},
    };
    for (const Case& c : cases) {
        std::vector<ScoreEntry> out{{"stale", 99}};
        build_score_list(c.table, c.profiles, out);
        EXPECT_EQ(out, c.expected) << c.what;
    }
}

}
}
