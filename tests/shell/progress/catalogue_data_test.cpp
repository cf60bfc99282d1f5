#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/res/skin.h"
#include "engine/res/skin_child_iterator.h"
#include "game/field/field.h"
#include "game/field/idols/creation_idol.h"
#include "game/field/idols/fire_idol.h"
#include "game/field/idols/mastery_idol.h"
#include "game/field/idols/time_idol.h"
#include "game/field/objects/beetle.h"
#include "game/field/objects/brick.h"
#include "game/field/objects/charge.h"
#include "game/field/objects/cloud.h"
#include "game/field/objects/door.h"
#include "game/field/objects/dragonfly.h"
#include "game/field/objects/fireball.h"
#include "game/field/objects/hole.h"
#include "game/field/objects/magnet.h"
#include "game/field/objects/rocket.h"
#include "game/field/objects/roller.h"
#include "game/field/objects/roller_head.h"
#include "game/field/objects/spirit.h"
#include "game/field/objects/treasure.h"
#include "game/field/objects/whirlwind.h"
#include "game/field/objects/white_cloud.h"
#include "game/shell/progress/catalogue.h"
#include "game/shell/progress/profile.h"
#include "game/shell/progress/score_entry.h"
#include "tests/base/log_capture.h"
#include "tests/shell/data_tree.h"
#include "tests/shell/first_profile.h"

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
    if (chapters.size() == 1) {
        EXPECT_TRUE(route.keys().empty());
    }

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
        if (chapter > Profile::lives_trophy_chapter) {
            EXPECT_GE(player.lives, 3) << chapter;
        }
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

using test::FirstProfile;

template <typename T>
bool has_item(const Field& field)
{
    for (const SharedPtr<Item>& item : field.items())
        if (dynamic_cast<const T*>(item.get()))
            return true;
    return false;
}

template <typename T>
bool has_idol(const Field& field)
{
    for (const SharedPtr<Idol>& idol : field.idols())
        if (dynamic_cast<const T*>(idol.get()))
            return true;
    return false;
}

// Everything the field offers, and how a mission shows that it offers it: a field object
// among its items, an idol among its idols, a powerup through the idol that gives it.
// Fireballs fly only in play: shot with the fire idol's powerup, or from a sledge train's
// last head.
const std::vector<std::pair<const char*, bool (*)(const Field&)>> field_offers{
    {"treasure", has_item<Treasure>},
    {"brick", has_item<Brick>},
    {"cloud", has_item<Cloud>},
    {"fireball", [](const Field& f) { return has_item<Fireball>(f) || has_idol<FireIdol>(f) || has_item<Roller>(f); }},
    {"whirlwind", has_item<Whirlwind>},
    {"magnet", has_item<Magnet>},
    {"beetle", has_item<Beetle>},
    {"roller", has_item<Roller>},
    {"roller head", has_item<RollerHead>},
    {"rocket", has_item<Rocket>},
    {"door", has_item<Door>},
    {"dragonfly", has_item<Dragonfly>},
    {"hole", has_item<Hole>},
    {"spirit", has_item<Spirit>},
    {"charge", has_item<Charge>},
    {"white cloud", has_item<WhiteCloud>},
    {"creation idol", has_idol<CreationIdol>},
    {"fire idol", has_idol<FireIdol>},
    {"time idol", has_idol<TimeIdol>},
    {"mastery idol", has_idol<MasteryIdol>},
    {"hand powerup", has_idol<CreationIdol>},
    {"fireball powerup", has_idol<FireIdol>},
    {"clock powerup", has_idol<TimeIdol>},
    {"bolt powerup", has_idol<MasteryIdol>},
};

// Every bonus, by its name in the data.
const std::vector<std::pair<Bonus, const char*>> all_bonuses{
    {Bonus::splinter, "splinter"},         {Bonus::cost_3x, "cost_3x"},
    {Bonus::shock_wave, "shock_wave"},     {Bonus::accuracy, "accuracy"},
    {Bonus::slipperiness, "slipperiness"}, {Bonus::powerful_strike, "powerful_strike"},
    {Bonus::any_activator, "any_activator"}, {Bonus::magnetic, "magnetic"},
    {Bonus::spirit, "spirit"},             {Bonus::treasure, "treasure"},
    {Bonus::explode, "explode"}};

// True when the field deals the bonus to its pieces or grants it from the start.
bool offers(const Field& field, Bonus bonus)
{
    if (field.has_initial_bonus(bonus))
        return field.bonus_settings(bonus) != nullptr;
    // A field without the bonus's settings says so in the error log; that is an answer here.
    test::LogCapture quiet;
    const BonusSettings* settings = field.bonus_settings(bonus);
    return settings && settings->present && settings->probability > 0.0f;
}

// Every field object, idol, powerup and piece bonus is met in at least one mission of the
// campaign (coins come from progress levels on any field). A bonus is met where a mission
// deals it to its pieces or grants it from its start.
TEST(CatalogueData, EveryFieldObjectIdolPowerupAndPieceBonusIsMetInSomeMission)
{
    test::DataTreeRenderer data("kq_coverage_test_");
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    ASSERT_FALSE(chapters.empty());
    std::map<std::string, std::set<std::string>> met;  // kind or bonus -> missions
    FirstProfile game;
    for (const auto& [chapter_number, chapter] : chapters) {
        for (const auto& [mission_number, mission] : chapter.missions) {
            const std::string name =
                "missions.chapter" + std::to_string(chapter_number) + ".mission" + std::to_string(mission_number);
            Field field(FieldSettings{}, game);
            field.read_skin(SkinPath(name));
            for (const auto& [kind, offered] : field_offers)
                if (offered(field))
                    met[kind].insert(name);
            for (const auto& [bonus, bonus_name] : all_bonuses)
                if (offers(field, bonus))
                    met[bonus_name].insert(name);
        }
    }
    for (const auto& [kind, offered] : field_offers)
        EXPECT_FALSE(met[kind].empty()) << "no mission offers a " << kind;
    for (const auto& [bonus, bonus_name] : all_bonuses)
        EXPECT_FALSE(met[bonus_name].empty()) << "no mission offers the bonus " << bonus_name;
}

// Each chapter gets harder mission by mission: a shot never costs less than in the mission
// before, the meter never starts fuller, and the last mission's meter holds at most a third
// of the shots the first one's does. Destroyed pieces pay the meter back many times a shot's
// cost, so only dear shots on a lean meter make the meter bite.
TEST(CatalogueData, EachChaptersMissionsAskMoreOfTheMeter)
{
    test::DataTreeRenderer data("kq_rising_test_");
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    ASSERT_FALSE(chapters.empty());
    FirstProfile game;
    for (const auto& [chapter_number, chapter] : chapters) {
        // The shots the starting meter pays for, and a shot's cost, mission by mission.
        std::vector<double> reserves;
        int last_cost = 0;
        for (const auto& [mission_number, mission] : chapter.missions) {
            const std::string name =
                "missions.chapter" + std::to_string(chapter_number) + ".mission" + std::to_string(mission_number);
            Field field(FieldSettings{}, game);
            field.read_skin(SkinPath(name));
            const int cost = field.throw_cost() * 500;
            ASSERT_GT(cost, 0) << name;
            EXPECT_GE(cost, last_cost) << name << ": a shot costs less than in the mission before";
            reserves.push_back(double(field.meter()) / cost);
            if (reserves.size() > 1) {
                EXPECT_LE(reserves.back(), reserves[reserves.size() - 2]) << name << ": the meter holds more shots";
            }
            last_cost = cost;
        }
        EXPECT_LE(reserves.back(), reserves.front() / 3) << "chapter " << chapter_number;
    }
}

}
}
