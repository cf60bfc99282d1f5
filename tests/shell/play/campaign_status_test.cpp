#include "game/shell/play/campaign_status.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(CampaignStatus, TheMissionLineNamesTheChapterTheMissionAndTheMissionCount)
{
    Chapter chapter;
    chapter.name = "Meadow";
    for (int m = 1; m <= 10; ++m)
        chapter.missions[m];
    EXPECT_EQ(mission_line(chapter, 3), "Meadow 3 / 10");
    chapter.missions.clear();
    EXPECT_EQ(mission_line(chapter, 1), "Meadow 1 / 0");
}

TEST(CampaignStatus, TheUpgradeFractionRunsFromEachLevelsCostToTheNext)
{
    // At 100 percent the first two steps cost 50000 and 80000; at 200 percent, twice that.
    struct Case
    {
        int score, difficulty;
        float fraction;
    };
    const Case cases[] = {
        {0, 0, 0.0f},         {25000, 0, 0.5f},      {49999, 0, 49999.0f / 50000.0f},
        {50000, 0, 0.0f},     {90000, 0, 0.5f},      {129999, 0, 79999.0f / 80000.0f},
        {-500, 0, 0.0f},      {50000, 2, 0.5f},      {100000, 2, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(upgrade_fraction(c.score, c.difficulty), c.fraction) << c.score << " at " << c.difficulty;
}

}
}
