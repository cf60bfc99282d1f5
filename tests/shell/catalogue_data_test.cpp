#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/res/skin.h"
#include "engine/res/skin_child_iterator.h"
#include "game/shell/catalogue.h"
#include "game/shell/profile.h"
#include "game/shell/score_entry.h"
#include "tests/shell/data_tree.h"

namespace kq {
namespace {

// The number of children "mission<n>" of a chapter's node.
int mission_nodes(const SkinPath& chapter)
{
    int count = 0;
    for (SkinChildIterator child(chapter); !child.at_end(); child.next()) {
        const std::string name = child.name().c_str();
        if (name.rfind("mission", 0) == 0 && name != "mission_count")
            ++count;
    }
    return count;
}

TEST(CatalogueData, TheGamesCatalogueReadsWithEveryMissionOfItsChapters)
{
    test::DataTree data("kq_catalogue_test_");
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    ASSERT_FALSE(chapters.empty());
    for (const auto& [number, chapter] : chapters) {
        const SkinPath node("missions.chapter" + std::to_string(number));
        EXPECT_EQ(static_cast<int>(chapter.missions.size()), mission_nodes(node)) << node.text();
        EXPECT_FALSE(chapter.name.empty());
    }
    TravelPath route;
    build_travel_route(chapters, route);
    if (chapters.size() == 1)
        EXPECT_TRUE(route.keys().empty());

    ScoreTable scores;
    read_score_table(SkinPath("vimo.game.score_table"), scores);
    EXPECT_FALSE(scores.empty());
}

// A new player who wins every mission of the campaign in order, each cleanly, plays all eight
// chapters through to the end of the game: the cups of chapters 2 to 7 are earned at their
// last missions, the canyon's cup keeps a third life from the next chapter on, and after the
// temple the game is over with its score in the table.
TEST(CatalogueData, WinningEveryMissionInOrderEndsTheGameWithTheCupsOfChapters2To7)
{
    test::DataTree data("kq_campaign_test_");
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    ASSERT_EQ(chapters.size(), 8u);

    ScoreTable scores;
    Profile player;
    player.name = "tester";
    player.new_game(0, scores);
    std::vector<int> cups;
    int played = 0;
    while (player.has_game() && played < 100) {
        const int chapter = player.chapter;
        ASSERT_TRUE(chapters.count(chapter)) << chapter;
        ASSERT_TRUE(chapters.at(chapter).missions.count(player.mission)) << chapter << "." << player.mission;
        if (chapter > Profile::lives_trophy_chapter)
            EXPECT_GE(player.lives, 3) << chapter;
        player.score += 1000;
        player.add_mission_quality(100);
        if (player.award_trophy(GameState::win, chapters.at(chapter)))
            cups.push_back(chapter);
        player.advance_mission(chapters, scores);
        ++played;
    }
    EXPECT_EQ(played, 46);
    EXPECT_FALSE(player.has_game());
    EXPECT_EQ(cups, (std::vector<int>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(scores["tester"], 46000);
}

}
}
