#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "game/shell/progress/save_checks.h"
#include "game/shell/progress/save_file.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"

namespace kq {
namespace {

namespace fs = std::filesystem;

std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::set<std::string> files_in(const TempDir& dir)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    return names;
}

// Chapter 1 of two missions, chapter 2 of three.
Chapters small_catalogue()
{
    Chapters chapters;
    chapters[1].missions = {{1, {}}, {2, {}}};
    chapters[2].missions = {{1, {}}, {2, {}}, {3, {}}};
    return chapters;
}

// Valid data of `count` profiles, told apart by `mark`.
SaveData progress(int count, int mark)
{
    SaveData data;
    for (int i = 0; i < count; ++i) {
        Profile& p = data.profiles.emplace_back();
        p.name = "player" + std::to_string(i);
        p.chapter = 2;
        p.mission = 1 + i % 3;
        p.score = mark * 1000 + i;
        p.lives = 3;
        p.shown_tips = {StrCache("tip_aim"), StrCache(("tip_" + std::to_string(i % 7)).c_str())};
    }
    data.profile_name = "player0";
    data.score_table = {{"old", mark}};
    return data;
}

void expect_same(const SaveData& a, const SaveData& b)
{
    EXPECT_EQ(a.profiles, b.profiles);
    EXPECT_EQ(a.profile_name, b.profile_name);
    EXPECT_EQ(a.score_table, b.score_table);
    EXPECT_EQ(a.reserved_flag, b.reserved_flag);
}

// What the game may rely on after any load.
void expect_playable(const SaveData& data, const Chapters& chapters)
{
    std::set<std::string> names;
    for (const Profile& p : data.profiles) {
        EXPECT_TRUE(is_valid_profile_name(p.name));
        EXPECT_EQ(clean_profile_name(p.name), p.name);
        EXPECT_TRUE(names.insert(p.name).second);
        EXPECT_GE(p.difficulty, 0);
        EXPECT_LE(p.difficulty, 2);
        EXPECT_TRUE(p.effect_volume >= 0.0f && p.effect_volume <= 1.0f);
        EXPECT_TRUE(p.music_volume >= 0.0f && p.music_volume <= 1.0f);
        if (p.chapter != 0) {
            ASSERT_TRUE(chapters.count(p.chapter));
            EXPECT_TRUE(chapters.at(p.chapter).missions.count(p.mission));
        }
        EXPECT_GE(p.lives, 0);
        EXPECT_GE(p.chapter_wins, 0);
        for (int count : p.powerups)
            EXPECT_GE(count, 0);
    }
}

TEST(SaveFileTest, SaveThenLoadAndAMissingFile)
{
    TempDir dir;
    SaveFile file(dir.file("game.cfg"));
    SaveData untouched = progress(1, 5);
    EXPECT_FALSE(file.load(small_catalogue(), untouched));
    expect_same(untouched, progress(1, 5));
    EXPECT_TRUE(files_in(dir).empty());

    const SaveData saved = progress(3, 7);
    ASSERT_TRUE(file.save(saved));
    SaveData loaded;
    ASSERT_TRUE(file.load(small_catalogue(), loaded));
    expect_same(loaded, saved);
    EXPECT_EQ(files_in(dir), (std::set<std::string>{"game.cfg"}));
}

TEST(SaveFileTest, UnusableFilesAreSetAsideBeforeTheNextSave)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        const char* aside;
    };
    const std::string good = write_save_data(progress(2, 1));
    const Case cases[] = {
        {"empty", "", "game.cfg.bad"},
        {"cut short", good.substr(0, 20), "game.cfg.bad"},
        {"version 2", "\x02" + good.substr(1), "game.cfg.v2"},
        {"version 200", "\xC8", "game.cfg.v200"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        SaveFile file(dir.file("game.cfg"));
        write_bytes(dir.file("game.cfg"), c.bytes);
        SaveData data = progress(1, 9);
        test::LogCapture logs;
        EXPECT_FALSE(file.load(small_catalogue(), data)) << c.what;
        expect_same(data, progress(1, 9));
        EXPECT_EQ(files_in(dir), (std::set<std::string>{c.aside})) << c.what;
        EXPECT_EQ(read_bytes(dir.file(c.aside)), c.bytes) << c.what;
        EXPECT_NE(logs.text("game").find(std::string("Set aside as ") + dir.file(c.aside)), std::string::npos);

        // The next save writes a new file beside it; a second damaged file takes a new name.
        ASSERT_TRUE(file.save(progress(1, 3)));
        write_bytes(dir.file("game.cfg"), c.bytes);
        EXPECT_FALSE(file.load(small_catalogue(), data));
        EXPECT_EQ(files_in(dir), (std::set<std::string>{c.aside, std::string(c.aside) + ".1"})) << c.what;
        EXPECT_EQ(read_bytes(dir.file(std::string(c.aside) + ".1")), c.bytes);
    }
}

TEST(SaveFileTest, AFileCutAtAnyLengthIsRefusedWhole)
{
    TempDir dir;
    const std::string good = write_save_data(progress(2, 1));
    SaveFile file(dir.file("game.cfg"));
    for (std::size_t length = 0; length < good.size(); ++length) {
        write_bytes(dir.file("game.cfg"), good.substr(0, length));
        SaveData data = progress(1, 4);
        EXPECT_FALSE(file.load(small_catalogue(), data)) << length;
        expect_same(data, progress(1, 4));
        fs::remove(dir.file("game.cfg.bad"));
    }
}

TEST(SaveFileTest, AFlippedByteGivesPlayableDataOrNone)
{
    TempDir dir;
    SaveData data = progress(2, 1);
    data.profiles.front().difficulty = 1;
    const std::string good = write_save_data(data);
    SaveFile file(dir.file("game.cfg"));
    const Chapters chapters = small_catalogue();
    int refused = 0;
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (int mask : {0x01, 0x80, 0xFF}) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(bytes[at] ^ mask);
            write_bytes(dir.file("game.cfg"), bytes);
            SaveData read;
            if (file.load(chapters, read)) {
                expect_playable(read, chapters);
            } else {
                ++refused;
                EXPECT_EQ(read_bytes(dir.file("game.cfg.bad")) + read_bytes(dir.file("game.cfg.v" + std::to_string(save_data_version(bytes)))), bytes);
                for (const std::string& name : files_in(dir))
                    fs::remove(dir.file(name));
            }
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(SaveFileTest, AFolderThatCannotBeWrittenFailsTheSaveUntilItCan)
{
    TempDir dir;
    write_bytes(dir.file("plain"), "a file, not a folder");
    for (const std::string& path : {dir.file("plain/game.cfg"), dir.file("missing/game.cfg")}) {
        SaveFile file(path);
        test::LogCapture logs;
        EXPECT_FALSE(file.save(progress(1, 1))) << path;
        EXPECT_NE(logs.text("game").find("\nNot saved: " + path + ": "), std::string::npos) << logs.text("game");
    }
    SaveFile later(dir.file("missing/game.cfg"));
    EXPECT_FALSE(later.save(progress(1, 1)));
    fs::create_directory(dir.file("missing"));
    EXPECT_TRUE(later.save(progress(1, 2)));
    SaveData loaded;
    ASSERT_TRUE(later.load(small_catalogue(), loaded));
    expect_same(loaded, progress(1, 2));
}

TEST(SaveFileTest, AWriteErrorKeepsTheOldFileAndTheNextSaveRetries)
{
    TempDir dir;
    SaveFile file(dir.file("game.cfg"));
    ASSERT_TRUE(file.save(progress(1, 1)));
    const std::string old_bytes = read_bytes(dir.file("game.cfg"));

    // A file-size limit makes the write fail part way, as a full disk does.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    test::LogCapture logs;
    const bool saved_while_full = file.save(progress(20, 2));
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(saved_while_full);
    EXPECT_NE(logs.text("game").find("\nNot saved: "), std::string::npos);
    EXPECT_EQ(read_bytes(dir.file("game.cfg")), old_bytes);
    EXPECT_EQ(files_in(dir), (std::set<std::string>{"game.cfg"}));

    EXPECT_TRUE(file.save(progress(20, 2)));
    SaveData loaded;
    ASSERT_TRUE(file.load(small_catalogue(), loaded));
    expect_same(loaded, progress(20, 2));
}

TEST(SaveFileTest, KilledWhileSavingLeavesTheOldProgressOrTheNew)
{
    TempDir dir;
    const std::string path = dir.file("game.cfg");
    const SaveData first = progress(3000, 1);
    const SaveData second = progress(3000, 2);
    ASSERT_TRUE(SaveFile(path).save(first));
    for (int round = 0; round < 12; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SaveFile saver(path);
            for (int i = 0;; ++i)
                saver.save(i % 2 ? first : second);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(3 + 7 * round));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        SaveData loaded;
        ASSERT_TRUE(SaveFile(path).load(small_catalogue(), loaded)) << round;
        EXPECT_TRUE(loaded.score_table == first.score_table || loaded.score_table == second.score_table);
        expect_same(loaded, loaded.score_table == first.score_table ? first : second);
    }
}

}
}
