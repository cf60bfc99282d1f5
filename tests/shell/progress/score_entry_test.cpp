#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/res/skin_path.h"
#include "game/shell/progress/score_entry.h"
#include "tests/res/test_skin_environment.h"

namespace kq {
namespace {

TEST(ScoreEntryTest, RecordScoreKeepsTheLarger)
{
    ScoreTable scores{{"ann", 50}};
    record_score(scores, "ann", 20);
    record_score(scores, "bob", 20);
    record_score(scores, "ann", 80);
    EXPECT_EQ(scores, (ScoreTable{{"ann", 80}, {"bob", 20}}));
}

TEST(ScoreEntryTest, ReadsTheSkinsTableWithALaterRepeatWinning)
{
    struct Case
    {
        const char* text;
        ScoreTable expected;
    };
    const Case cases[] = {
        {"score_table [{ }]", {}},
        {"score_table [{ Ada, 500 \"Bo Li\", 40 Ada, 7 }]", {{"Ada", 7}, {"Bo Li", 40}, {"keep", 1}}},
        {"score_table [{ Cy, 10h }]", {{"Cy", 16}, {"keep", 1}}},
    };
    for (const Case& c : cases) {
        test::TestSkinEnvironment skin(c.text);
        ScoreTable scores{{"keep", 1}};
        read_score_table(SkinPath("score_table"), scores);
        ScoreTable expected = c.expected;
        expected["keep"] = 1;
        EXPECT_EQ(scores, expected) << c.text;
    }
    for (const char* broken : {"score_table [{ Ada 5 }]", "score_table [{ Ada, 5 ]", "score_table 5"}) {
        test::TestSkinEnvironment skin(broken);
        ScoreTable scores;
        EXPECT_THROW(read_score_table(SkinPath("score_table"), scores), Exception) << broken;
    }
}

}
}
