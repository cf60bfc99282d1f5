#include <gtest/gtest.h>

#include <cmath>

#include "engine/base/exception.h"
#include "game/shell/progress/save_data.h"
#include "tests/shell/save_bytes.h"

namespace kq {
namespace {

using test::SaveBytes;

// A profile whose every field differs from a new profile's.
Profile full_profile(const std::string& name, std::initializer_list<const char*> tips)
{
    Profile p;
    p.name = name;
    p.fullscreen = false;
    p.hardware_cursors = false;
    p.effects = false;
    p.tips = true;
    p.effect_volume = 0.25f;
    p.music_volume = 0.75f;
    p.difficulty = 2;
    p.fresh = false;
    p.chapter = 3;
    p.mission = 4;
    p.pre_events_shown = true;
    for (const char* tip : tips)
        p.shown_tips.insert(StrCache(tip));
    p.chapter_quality = 81;
    p.chapter_wins = 2;
    p.trophies = {false, false, true, false, false, true, false, true};
    p.lives = 3;
    p.score = 123456;
    p.powerups = {1, 2, 3, 4, 5};
    return p;
}

// The record of `full_profile` up to its tips, from the layout: tips before effects.
SaveBytes& record_head(SaveBytes& bytes, std::uint8_t version, const std::string& name)
{
    bytes.u8(version).text(name).u8(0).u8(0).u8(1).u8(0).f32(0.25f).f32(0.75f).i32(2);
    if (version == 0)
        bytes.i32(-77);  // read and dropped
    return bytes.i32(3).i32(4).u8(1);
}

// From the quality on: score before lives.
SaveBytes& record_tail(SaveBytes& bytes, std::uint8_t version)
{
    bytes.i32(81).i32(2).u8(0).u8(0).u8(1).u8(0).u8(0).u8(1).u8(0).u8(1);
    bytes.u8(0).i32(123456).i32(3).i32(1).i32(2).i32(3).i32(4).i32(5);
    if (version >= 1)
        bytes.u8(0);
    return bytes;
}

TEST(SaveDataTest, AnEmptyGameIsFourteenBytes)
{
    const std::string expected = SaveBytes().u8(1).u32(0).text("").u32(0).u8(0).str();
    ASSERT_EQ(expected.size(), 14u);
    EXPECT_EQ(write_save_data(SaveData{}), expected);

    SaveData read;
    read.score_table = {{"skin", 5}};
    read_save_data(expected, read);
    EXPECT_TRUE(read.profiles.empty());
    EXPECT_TRUE(read.profile_name.empty());
    EXPECT_FALSE(read.reserved_flag);
}

TEST(SaveDataTest, WritesTheLayoutWithTipNamesInternedOverTheWholeFile)
{
    SaveData data;
    data.profiles.push_back(full_profile("ann", {"tip_aim"}));
    data.profiles.push_back(full_profile("bob", {"tip_aim"}));
    data.profile_name = "bob";
    data.score_table = {{"zed", 9}, {"amy", -4}};
    data.reserved_flag = true;

    SaveBytes bytes;
    bytes.u8(1).u32(2);
    record_head(bytes, 1, "ann").u32(1).new_name(0, "tip_aim");
    record_tail(bytes, 1);
    record_head(bytes, 1, "bob").u32(1).u32(0);  // the same tip: its id alone
    record_tail(bytes, 1);
    bytes.text("bob").u32(2).text("amy").i32(-4).text("zed").i32(9).u8(1);
    EXPECT_EQ(write_save_data(data), bytes.str());

    SaveData read;
    read_save_data(bytes.str(), read);
    EXPECT_EQ(read.profiles, data.profiles);
    EXPECT_EQ(read.profile_name, "bob");
    EXPECT_EQ(read.score_table, data.score_table);
    EXPECT_TRUE(read.reserved_flag);
}

TEST(SaveDataTest, ReadsRecordsOfVersionZeroAndNewerAndFilesOfVersionZero)
{
    SaveBytes bytes;
    bytes.u8(0).u32(3);
    record_head(bytes, 0, "old").u32(0);
    record_tail(bytes, 0);
    record_head(bytes, 1, "one").u32(2).new_name(0, "a").new_name(1, "b");
    record_tail(bytes, 1);
    record_head(bytes, 7, "new").u32(1).u32(1);
    record_tail(bytes, 7);
    bytes.text("").u32(1).text("old").i32(50).u32(0);
    SaveData read;
    read.reserved_flag = false;
    read_save_data(bytes.str(), read);  // a version 0 file has no flag: what follows is ignored

    ASSERT_EQ(read.profiles.size(), 3u);
    auto profile = read.profiles.begin();
    Profile expected = full_profile("old", {});
    EXPECT_EQ(*profile, expected);  // fresh false without its byte
    expected = full_profile("one", {"a", "b"});
    EXPECT_EQ(*++profile, expected);
    expected = full_profile("new", {"b"});
    EXPECT_EQ(*++profile, expected);
    EXPECT_EQ(read.score_table, (ScoreTable{{"old", 50}}));
    EXPECT_FALSE(read.reserved_flag);
}

TEST(SaveDataTest, RoundTripKeepsEveryFieldAndTheOrder)
{
    SaveData data;
    for (const char* name : {"zoe", "adam", "mia"}) {
        Profile& p = data.profiles.emplace_back(full_profile(name, {"one", name}));
        p.fresh = name[0] == 'a';
        p.effect_volume = -0.0f;
        p.powerups[4] = -9;
    }
    data.profiles.emplace_back();  // a new profile's values
    data.profile_name = "adam";
    data.score_table = {{"x", 1}, {"y", 2147483647}, {"", -2147483647 - 1}};
    data.reserved_flag = true;
    SaveData read;
    read_save_data(write_save_data(data), read);
    EXPECT_EQ(read.profiles, data.profiles);
    EXPECT_TRUE(std::signbit(read.profiles.front().effect_volume));
    EXPECT_EQ(read.profile_name, data.profile_name);
    EXPECT_EQ(read.score_table, data.score_table);
    EXPECT_EQ(read.reserved_flag, data.reserved_flag);
}

TEST(SaveDataTest, DamageIsAnErrorAndTheVersionIsTheFirstByte)
{
    const std::string good = write_save_data(SaveData{{full_profile("ann", {"t"})}, "ann", {{"ann", 3}}, true});
    const std::string damaged[] = {
        good.substr(0, good.size() - 1),
        SaveBytes().u8(1).u32(0x7FFFFFFF).str(),       // more profiles than bytes
        SaveBytes().u8(1).u32(0).u32(1000).str(),      // a name longer than the file
        SaveBytes().u8(1).u32(0).text("").u32(5).str(),  // scores missing
    };
    for (const std::string& bytes : damaged) {
        SaveData read;
        EXPECT_THROW(read_save_data(bytes, read), IOException) << bytes.size();
    }
    // A tip id that was never given.
    SaveBytes bad_id;
    bad_id.u8(1).u32(1);
    record_head(bad_id, 1, "ann").u32(1).u32(5);
    record_tail(bad_id, 1).text("").u32(0).u8(0);
    SaveData read;
    EXPECT_THROW(read_save_data(bad_id.str(), read), Exception);

    EXPECT_EQ(save_data_version(""), -1);
    EXPECT_EQ(save_data_version(good), 1);
    EXPECT_EQ(save_data_version(std::string(1, '\xC8')), 200);
}

}
}
