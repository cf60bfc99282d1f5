#include "engine/res/file_res_source.h"

#include <chrono>
#include <cstdint>
#include <filesystem>

#include <gtest/gtest.h>

#include "engine/res/res.h"
#include "test_resources.h"

namespace kq {
namespace {

using test::TempDir;

std::int64_t nanoseconds_of(std::filesystem::file_time_type time)
{
    const auto since_epoch = std::chrono::file_clock::to_sys(time).time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count();
}

TEST(FileResSource, VariantCandidatesGoFromMostSpecific)
{
    struct Case {
        std::vector<std::string> parts;
        std::vector<std::string> candidates;
    };
    const Case cases[] = {
        {{"win", "eng"}, {"win-eng", "win", "eng"}},
        {{"win"}, {"win"}},
        {{}, {}},
        {{"a", "b", "c"}, {"a-b-c", "a-b", "a-c", "a", "b-c", "b", "c"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(variant_candidates(c.parts), c.candidates);
}

// Writes every candidate of ui/font.png, each holding its own name, then opens and removes
// them one by one: the order of the contents is the search order.
std::vector<std::string> opening_order(const std::string& language, const std::vector<std::string>& files)
{
    TempDir dir;
    for (const std::string& file : files)
        dir.write(file, file);
    SharedPtr<Res> res(new Res);
    res->set_platform("win");
    res->set_language(language);
    FileResSource source(dir.str(), false, true);
    std::vector<std::string> order;
    while (ResStream stream = source.open("ui/font.png")) {
        order.push_back(read_all(*stream.m_buffer));
        stream.m_buffer.reset();
        std::filesystem::remove(dir.str() + order.back());
    }
    return order;
}

TEST(FileResSource, LocalizedSourceTriesVariantsInOrder)
{
    const std::vector<std::string> all = {
        "(win-eng)/ui/font.png", "ui/font(win-eng).png", "(win)/ui/font.png", "ui/font(win).png",
        "(eng)/ui/font.png",     "ui/font(eng).png",     "ui/font.png",
    };
    EXPECT_EQ(opening_order("eng", all), all);
    EXPECT_EQ(opening_order("", all), (std::vector<std::string>{"(win)/ui/font.png", "ui/font(win).png", "ui/font.png"}));
}

TEST(FileResSource, PlainSourceOpensTheFileItselfWithItsTime)
{
    TempDir dir;
    dir.write("(win)/a.txt", "variant");
    const std::string path = dir.write("a.txt", "plain");
    SharedPtr<Res> res(new Res);
    res->set_platform("win");
    FileResSource source(dir.str(), false, false);
    ResStream stream = source.open("a.txt");
    ASSERT_TRUE(stream);
    EXPECT_EQ(read_all(*stream.m_buffer), "plain");
    EXPECT_EQ(stream.m_time, nanoseconds_of(std::filesystem::last_write_time(path)));
    EXPECT_FALSE(source.open("missing.txt"));
}

TEST(FileResSource, TimesTellWritesWithinOneSecondApart)
{
    TempDir dir;
    const std::string path = dir.write("a.txt", "a");
    FileResSource source(dir.str(), false, false);
    const auto second = std::chrono::floor<std::chrono::seconds>(std::filesystem::last_write_time(path));
    std::filesystem::last_write_time(path, second);
    const std::int64_t first = source.open("a.txt").m_time;
    std::filesystem::last_write_time(path, second + std::chrono::milliseconds(1));
    EXPECT_EQ(source.open("a.txt").m_time - first, 1'000'000);
}

TEST(FileResSource, CreateWritesUnlessReadOnly)
{
    TempDir dir;
    FileResSource read_only(dir.str(), true, false);
    EXPECT_FALSE(read_only.create("new.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.str() + "new.txt"));

    FileResSource writable(dir.str(), false, false);
    ResStream stream = writable.create("new.txt");
    ASSERT_TRUE(stream);
    stream.m_buffer->write("x", 1);
    stream.m_buffer.reset();
    EXPECT_EQ(std::filesystem::file_size(dir.str() + "new.txt"), 1u);
}

TEST(FileResSource, NameOfStripsRootAndVariantFolder)
{
    FileResSource source("/data/Game", false, true);
    EXPECT_EQ(source.root(), "/data/Game/");
    struct Case {
        std::string path;
        bool inside;
        std::string name;
    };
    const Case cases[] = {
        {"/data/Game/ui/font.png", true, "ui/font.png"},
        {"/data/Game/(win-eng)/ui/Font.png", true, "ui/font.png"},
        {"/data/game/ui/font.png", false, "/data/game/ui/font.png"},
        {"/other/ui/font.png", false, "/other/ui/font.png"},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        EXPECT_EQ(source.name_of(path), c.inside) << c.path;
        EXPECT_EQ(path, c.name);
    }
}

TEST(FileResSource, LocateGivesTheFullPathOfAnExistingFile)
{
    TempDir dir;
    dir.write("(win)/v.txt", "variant");
    dir.write("a.txt", "a");
    FileResSource source(dir.str(), false, true);
    std::string name = "a.txt";
    EXPECT_TRUE(source.locate(name));
    EXPECT_EQ(name, dir.str() + "a.txt");
    name = "v.txt";
    EXPECT_FALSE(source.locate(name));
    EXPECT_EQ(name, "v.txt");
}

}
}
