#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "game/shell/progress/profile.h"
#include "tests/base/log_capture.h"

namespace kq {
namespace {

TEST(ProfileTest, UpgradeCostsAtEachDifficulty)
{
    struct Case
    {
        int difficulty;
        int percent;
        int step1, step2, step3;
    };
    const Case cases[] = {
        {0, 100, 50000, 80000, 110000},
        {1, 150, 75000, 120000, 165000},
        {2, 200, 100000, 160000, 220000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.difficulty);
        Profile profile;
        profile.difficulty = c.difficulty;
        EXPECT_EQ(profile.percent(), c.percent);
        EXPECT_EQ(Profile::step_cost(0, c.difficulty), 0);
        EXPECT_EQ(Profile::step_cost(-3, c.difficulty), 0);
        EXPECT_EQ(Profile::step_cost(1, c.difficulty), c.step1);
        EXPECT_EQ(Profile::step_cost(2, c.difficulty), c.step2);
        EXPECT_EQ(Profile::step_cost(3, c.difficulty), c.step3);
        EXPECT_EQ(Profile::total_cost(0, c.difficulty), 0);
        EXPECT_EQ(Profile::total_cost(-1, c.difficulty), 0);
        EXPECT_EQ(Profile::total_cost(3, c.difficulty), c.step1 + c.step2 + c.step3);

        const int total2 = c.step1 + c.step2;
        const struct
        {
            int value;
            int level;
        } levels[] = {{INT_MIN, 0}, {-1, 0}, {0, 0}, {c.step1 - 1, 0}, {c.step1, 1}, {total2 - 1, 1}, {total2, 2}};
        for (const auto& l : levels)
            EXPECT_EQ(Profile::level_from_value(l.value, c.difficulty), l.level) << l.value;
        // The largest value still ends, on the level whose total it reaches.
        const int top = Profile::level_from_value(INT_MAX, c.difficulty);
        EXPECT_LE(Profile::total_cost(top, c.difficulty), INT_MAX);
        EXPECT_GT(std::int64_t(Profile::total_cost(top, c.difficulty)) + Profile::step_cost(top + 1, c.difficulty),
                  std::int64_t(INT_MAX));
    }
}

TEST(ProfileTest, EventConditionsHoldByTheCurrentChaptersTrophy)
{
    Profile won;
    won.trophies.fill(true);
    const Profile none;
    struct Case
    {
        const Profile& profile;
        int chapter;
        Condition condition;
        bool holds;
    };
    const Case cases[] = {
        {none, 3, Condition::always, true},       {none, 3, Condition::never, false},
        {won, 1, Condition::has_trophy, false},   {won, 1, Condition::has_not_trophy, true},
        {won, 2, Condition::has_trophy, true},    {won, 7, Condition::has_trophy, true},
        {won, 7, Condition::has_not_trophy, false}, {won, 8, Condition::has_trophy, false},
        {won, 0, Condition::has_trophy, false},   {none, 4, Condition::has_trophy, false},
        {none, 4, Condition::has_not_trophy, true},
    };
    for (const Case& c : cases) {
        Profile profile = c.profile;
        profile.chapter = c.chapter;
        EXPECT_EQ(profile.check_condition(c.condition), c.holds)
            << "chapter " << c.chapter << " condition " << static_cast<int>(c.condition);
    }

    test::LogCapture logs;
    EXPECT_FALSE(won.check_condition(static_cast<Condition>(9)));
    EXPECT_NE(logs.text("error").find("\nUnimplemented code reached.\n"), std::string::npos);
}

// Two chapters of two and three missions.
Chapters two_chapters()
{
    Chapters chapters;
    chapters[1].missions = {{1, {}}, {2, {}}};
    chapters[2].missions = {{1, {}}, {2, {}}, {3, {}}};
    return chapters;
}

Profile playing(int chapter, int mission)
{
    Profile profile;
    profile.name = "ann";
    profile.chapter = chapter;
    profile.mission = mission;
    profile.score = 700;
    profile.lives = 1;
    profile.powerups = {1, 2, 3, 4, 5};
    profile.pre_events_shown = true;
    profile.chapter_quality = 60;
    profile.chapter_wins = 1;
    return profile;
}

TEST(ProfileTest, AdvanceMissionWithinAChapterAcrossItsEndAndAtTheGamesEnd)
{
    const Chapters chapters = two_chapters();
    ScoreTable scores{{"ann", 300}};

    Profile middle = playing(1, 1);
    middle.advance_mission(chapters, scores);
    EXPECT_EQ(middle.chapter, 1);
    EXPECT_EQ(middle.mission, 2);
    EXPECT_FALSE(middle.fresh);
    EXPECT_FALSE(middle.pre_events_shown);
    EXPECT_EQ(middle.chapter_quality, 60);
    EXPECT_EQ(middle.lives, 1);

    Profile chapter_end = playing(1, 2);
    chapter_end.advance_mission(chapters, scores);
    EXPECT_EQ(chapter_end.chapter, 2);
    EXPECT_EQ(chapter_end.mission, 1);
    EXPECT_EQ(chapter_end.chapter_quality, 0);
    EXPECT_EQ(chapter_end.chapter_wins, 0);
    EXPECT_EQ(chapter_end.lives, 2);
    EXPECT_EQ(chapter_end.score, 700);
    EXPECT_FALSE(chapter_end.pre_events_shown);

    Profile game_end = playing(2, 3);
    game_end.trophies[3] = true;
    game_end.advance_mission(chapters, scores);
    EXPECT_EQ(game_end.chapter, 0);
    EXPECT_FALSE(game_end.has_game());
    EXPECT_EQ(game_end.score, 0);
    EXPECT_EQ(game_end.lives, 2);
    EXPECT_EQ(game_end.powerups, (std::array<int, 5>{}));
    EXPECT_EQ(game_end.trophies, (std::array<bool, 8>{}));
    EXPECT_EQ(scores, (ScoreTable{{"ann", 700}}));
}

TEST(ProfileTest, FinishingRecordsOnlyAScoreAboveZeroAndKeepsTheBetterOne)
{
    struct Case
    {
        int score;
        ScoreTable before;
        ScoreTable after;
    };
    const Case cases[] = {
        {0, {}, {}},
        {500, {}, {{"ann", 500}}},
        {500, {{"ann", 900}}, {{"ann", 900}}},
        {500, {{"ann", 100}, {"bob", 50}}, {{"ann", 500}, {"bob", 50}}},
    };
    for (const Case& c : cases) {
        Profile profile = playing(3, 2);
        profile.score = c.score;
        profile.difficulty = 2;
        ScoreTable scores = c.before;
        profile.finish_game(scores);
        EXPECT_EQ(scores, c.after) << c.score;
        EXPECT_EQ(profile.chapter, 0);
        EXPECT_EQ(profile.mission, 2);
        EXPECT_EQ(profile.difficulty, 2);
        EXPECT_EQ(profile.chapter_quality, 60);
        EXPECT_EQ(profile.chapter_wins, 1);
    }
}

TEST(ProfileTest, NewGameFinishesOnlyAGameInProgress)
{
    ScoreTable scores;
    Profile idle;
    idle.name = "ann";
    idle.score = 400;  // no game in progress: nothing to record
    idle.new_game(1, scores);
    EXPECT_TRUE(scores.empty());
    EXPECT_EQ(idle.difficulty, 1);
    EXPECT_EQ(idle.chapter, 1);
    EXPECT_EQ(idle.mission, 1);
    EXPECT_EQ(idle.lives, 2);

    Profile busy = playing(4, 3);
    busy.trophies[5] = true;
    busy.new_game(2, scores);
    EXPECT_EQ(scores, (ScoreTable{{"ann", 700}}));
    EXPECT_EQ(busy.chapter, 1);
    EXPECT_EQ(busy.mission, 1);
    EXPECT_EQ(busy.score, 0);
    EXPECT_EQ(busy.lives, 2);  // the trophies went with the old game
    EXPECT_EQ(busy.chapter_quality, 0);
    EXPECT_FALSE(busy.pre_events_shown);
}

TEST(ProfileTest, RestartChapterKeepsTheChapterAndClearsTheGame)
{
    ScoreTable scores;
    Profile profile = playing(4, 3);
    profile.trophies[5] = true;
    profile.restart_chapter(scores);
    EXPECT_EQ(scores, (ScoreTable{{"ann", 700}}));
    EXPECT_EQ(profile.chapter, 4);
    EXPECT_EQ(profile.mission, 1);
    EXPECT_EQ(profile.score, 0);
    EXPECT_EQ(profile.lives, 2);
    EXPECT_EQ(profile.chapter_quality, 0);
    EXPECT_EQ(profile.chapter_wins, 0);
    EXPECT_FALSE(profile.pre_events_shown);
}

TEST(ProfileTest, StartChapterRaisesLivesToTheChaptersMinimum)
{
    struct Case
    {
        int lives;
        bool lives_trophy;
        int expected;
    };
    const Case cases[] = {{0, false, 2}, {1, false, 2}, {5, false, 5}, {1, true, 3}, {5, true, 5}};
    for (const Case& c : cases) {
        Profile profile = playing(5, 4);
        profile.lives = c.lives;
        profile.trophies[5] = c.lives_trophy;
        profile.start_chapter();
        EXPECT_EQ(profile.lives, c.expected) << c.lives << " " << c.lives_trophy;
        EXPECT_EQ(profile.mission, 1);
    }
    EXPECT_EQ(Profile().lives, 0);
}

TEST(ProfileTest, ChapterQualityIsTheAverageOfTheWonMissions)
{
    Profile profile = playing(2, 1);
    profile.chapter_quality = 0;
    profile.chapter_wins = 0;
    const struct
    {
        int quality;
        int average;
    } wins[] = {{80, 80}, {61, 70}, {100, 80}, {0, 60}};
    for (const auto& w : wins) {
        profile.add_mission_quality(w.quality);
        EXPECT_EQ(profile.chapter_quality, w.average) << w.quality;
    }
    EXPECT_EQ(profile.chapter_wins, 4);
}

TEST(ProfileTest, TrophyForTheLastMissionOfChaptersTwoToSevenAtTheQualityTarget)
{
    Chapter chapter;
    chapter.missions = {{1, {}}, {2, {}}, {3, {}}};
    chapter.quality_target = 70;
    struct Case
    {
        int chapter;
        int mission;
        int quality;
        GameState outcome;
        bool earned;
    };
    const Case cases[] = {
        {2, 3, 70, GameState::win, true},   {7, 3, 90, GameState::skip, true},
        {2, 3, 69, GameState::win, false},  {2, 2, 90, GameState::win, false},
        {2, 3, 90, GameState::fail, false}, {1, 3, 90, GameState::win, false},
        {8, 3, 90, GameState::win, false},
    };
    for (const Case& c : cases) {
        Profile profile = playing(c.chapter, c.mission);
        profile.chapter_quality = c.quality;
        EXPECT_EQ(profile.award_trophy(c.outcome, chapter), c.earned) << c.chapter << "/" << c.mission;
        EXPECT_EQ(profile.has_trophy(c.chapter), c.earned);
        EXPECT_EQ(std::count(profile.trophies.begin(), profile.trophies.end(), true), c.earned ? 1 : 0);
    }
}

}
}
