// Every sound the field's objects play comes from the data tree: each mission of the
// catalogue, and each item the field may make during play, names its sounds by files that
// exist and load. An object without an impact sound, or with one whose file is missing, shows
// up by its skin path.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/random.h"
#include "engine/platform/sample.h"
#include "engine/res/skin.h"
#include "engine/res/skin_child_iterator.h"
#include "game/field/field.h"
#include "game/field/objects/cloud.h"
#include "game/field/objects/hole.h"
#include "game/field/objects/whirlwind.h"
#include "game/field/skin_description.h"
#include "game/shell/progress/catalogue.h"
#include "tests/shell/data_tree.h"
#include "tests/shell/first_profile.h"

namespace kq {
namespace {

// Field time that lets the trains put their cars on the field, milliseconds.
constexpr int settle_ms = 1000;

// What is wrong with a sound named `what` of the object at `owner`; empty when it names a
// file that loads.
std::string sound_fault(const ResHandle<Sample>& sample, const std::string& what, const std::string& owner)
{
    if (sample.empty())
        return owner + ": no " + what;
    ResHandle<Sample> copy = sample;
    try {
        if (copy.get())
            return {};
    } catch (const Exception&) {
    }
    return owner + ": " + what + " \"" + sample.path() + "\" does not load";
}

// The faults of the sounds an item reads: its impact sound and those of its kind.
void item_faults(const Item& item, std::set<std::string>& faults)
{
    const std::string owner = item.skin_path().text();
    std::vector<std::string> found{sound_fault(item.tinkling_sample(), "tinkling_sample", owner)};
    if (const auto* cloud = dynamic_cast<const Cloud*>(&item))
        found.push_back(sound_fault(cloud->appear_sample(), "appear_sample", owner));
    if (const auto* whirlwind = dynamic_cast<const Whirlwind*>(&item))
        found.push_back(sound_fault(whirlwind->sample(), "sample", owner));
    if (const auto* hole = dynamic_cast<const Hole*>(&item))
        found.push_back(sound_fault(hole->fall_sample(), "fall_sample", owner));
    for (std::string& fault : found)
        if (!fault.empty())
            faults.insert(fault);
}

// The faults of a mission's own sounds and of every item it builds, each once.
std::set<std::string> mission_faults(const std::string& mission)
{
    random_seed(1);
    test::FirstProfile game;
    Field field(FieldSettings{}, game);
    field.read_skin(SkinPath(mission.c_str()));
    for (int t = 0; t < settle_ms; t += 20)
        field.update(20);
    std::set<std::string> faults;
    const std::pair<const ResHandle<Sample>*, const char*> level[] = {
        {&field.danger_sample(), "danger_sample"},
        {&field.end_danger_sample(), "end_danger_sample"},
        {&field.bowl_sample(), "bowl_sample"},
        {&field.time_start_sample(), "time_start_sample"},
        {&field.time_stop_sample(), "time_stop_sample"},
    };
    for (const auto& [sample, key] : level)
        if (std::string fault = sound_fault(*sample, key, "the level"); !fault.empty())
            faults.insert(fault);
    for (const SharedPtr<Item>& item : field.items())
        item_faults(*item, faults);
    return faults;
}

TEST(MissionSounds, EveryMissionNamesSoundsThatLoad)
{
    test::DataTreeRenderer data("kq_mission_sounds_");
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    ASSERT_FALSE(chapters.empty());
    int missions = 0;
    for (const auto& [chapter_number, chapter] : chapters) {
        for (const auto& [mission_number, mission] : chapter.missions) {
            const std::string name =
                "missions.chapter" + std::to_string(chapter_number) + ".mission" + std::to_string(mission_number);
            for (const std::string& fault : mission_faults(name))
                ADD_FAILURE() << name << ": " << fault;
            ++missions;
        }
    }
    EXPECT_GT(missions, 40);
}

TEST(MissionSounds, EveryItemThePlayMakesNamesSoundsThatLoad)
{
    test::DataTreeRenderer data("kq_item_sounds_");
    std::set<std::string> faults;
    int kinds = 0;
    for (SkinChildIterator child(SkinPath("items")); !child.at_end(); child.next()) {
        SharedPtr<Item> item(create_described<Item>(child.path()));
        ASSERT_TRUE(item) << child.path().text();
        item_faults(*item, faults);
        ++kinds;
    }
    for (const std::string& fault : faults)
        ADD_FAILURE() << fault;
    // Pieces, walls, fireballs, clouds, spirits, jewels, the dragonfly and the obstacles.
    EXPECT_GT(kinds, 20);
}

TEST(MissionSounds, PiecesObjectsAndWallsRingInThreeStrengths)
{
    test::DataTreeRenderer data("kq_impact_sounds_");
    const std::pair<const char*, const char*> cases[] = {
        {"items.vimu_red", "sound/impact_medium.wav"},
        {"items.jewel1", "sound/impact_soft.wav"},
        {"items.spirit1", "sound/impact_soft.wav"},
        {"items.rocket", "sound/impact_hard.wav"},
        {"items.wall", "sound/impact_hard.wav"},
    };
    for (const auto& [path, sound] : cases) {
        SharedPtr<Item> item(create_described<Item>(SkinPath(path)));
        ASSERT_TRUE(item) << path;
        EXPECT_EQ(item->tinkling_sample().path(), sound) << path;
        ResHandle<Sample> sample = item->tinkling_sample();
        ASSERT_TRUE(sample.get()) << path;
    }
    // An object outranks a piece, so a piece that hits one sounds like the object it hit.
    SharedPtr<Item> piece(create_described<Item>(SkinPath("items.vimu_red")));
    SharedPtr<Item> rocket(create_described<Item>(SkinPath("items.rocket")));
    SharedPtr<Item> wall(create_described<Item>(SkinPath("items.wall")));
    EXPECT_GT(rocket->tinkling_priority(), piece->tinkling_priority());
    EXPECT_GT(piece->tinkling_priority(), wall->tinkling_priority());
}

}
}
