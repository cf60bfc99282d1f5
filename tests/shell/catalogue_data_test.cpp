#include <gtest/gtest.h>

#include <string>

#include "engine/res/skin.h"
#include "engine/res/skin_child_iterator.h"
#include "game/shell/catalogue.h"
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

}
}
