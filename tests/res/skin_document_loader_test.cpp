#include "engine/res/skin_document_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

#include "engine/base/exception.h"
#include "skin_fixture.h"

namespace kq {
namespace {

namespace fs = std::filesystem;

// Loads "doc.sdt" through the services, with the text and its binary copy arranged by each test.
class SkinDocumentLoaderTest : public test::SkinTest
{
protected:
    void load() { start({make_skin_document_task("doc.sdt")}); }
    void reload()
    {
        stop();
        load();
    }
    fs::path file(const char* name) const { return fs::path(m_dir.str()) / name; }
    // Makes the file look written `seconds` before (negative: after) the text.
    void age(const char* name, int seconds)
    {
        fs::last_write_time(file(name), fs::last_write_time(file("doc.sdt")) - std::chrono::seconds(seconds));
    }
    bool temporary_left() const { return test::has_temporary_file(m_dir.str()); }
    std::string content(const char* name) const
    {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(SkinDocumentLoaderTest, TextIsReadAndItsBinaryCopyWritten)
{
    write("doc.sdt", "a 1\n");
    load();
    EXPECT_EQ(text("a"), "1");
    EXPECT_TRUE(fs::exists(file("doc.sdb")));
    EXPECT_FALSE(temporary_left());
    fs::remove(file("doc.sdt"));
    reload();
    EXPECT_EQ(text("a"), "1");
}

TEST_F(SkinDocumentLoaderTest, BinaryCopyOfTheSameTextIsPreferred)
{
    write("doc.sdt", "a 1\n");
    load();
    age("doc.sdb", -10);
    age("doc.sdb.sum", -10);
    const auto written = fs::last_write_time(file("doc.sdb"));
    reload();
    EXPECT_EQ(text("a"), "1");
    EXPECT_EQ(fs::last_write_time(file("doc.sdb")), written) << "the copy was read, not rewritten";
}

// A copy stands for its text only when it was made from that very text: neither the times of
// the files nor a copy that reads well are enough.
TEST_F(SkinDocumentLoaderTest, CopyOfAnotherTextIsReplaced)
{
    struct Case
    {
        const char* title;
        std::function<void()> arrange;  // after "a 1" was loaded and its copy written
        const char* expected;
    };
    const Case cases[] = {
        {"text edited, older than the copy", [this] { write("doc.sdt", "a 2\n"); }, "2"},
        {"text edited to another size", [this] { write("doc.sdt", "a  2\n"); }, "2"},
        {"copy of another document",
         [this] {
             write("other.sdt", "a 2\n");
             start({make_skin_document_task("other.sdt")});
             stop();
             fs::copy_file(file("other.sdb"), file("doc.sdb"), fs::copy_options::overwrite_existing);
         },
         "1"},
        {"copy without its check",
         [this] {
             write("doc.sdt", "a 2\n");
             fs::remove(file("doc.sdb.sum"));
         },
         "2"},
        {"damaged check",
         [this] {
             write("doc.sdt", "a 2\n");
             write("doc.sdb.sum", "4 \xff\n");
         },
         "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        write("doc.sdt", "a 1\n");
        load();
        stop();
        c.arrange();
        age("doc.sdt", 10);
        load();
        EXPECT_EQ(text("a"), c.expected);
        stop();
        // The rewritten copy is the text's, and is used from now on.
        fs::remove(file("doc.sdt"));
        load();
        EXPECT_EQ(text("a"), c.expected);
        stop();
    }
}

// A game killed while it wrote a copy leaves its temporary file; the next start removes what
// processes that no longer run left, and leaves a running writer's file alone.
TEST_F(SkinDocumentLoaderTest, TemporaryFilesOfKilledWritersAreRemoved)
{
    const pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    ASSERT_GT(dead, 0);
    waitpid(dead, nullptr, 0);
    const std::string stale = "doc.sdb." + std::to_string(dead) + ".3.tmp";
    const std::string stale_check = "doc.sdb.sum." + std::to_string(dead) + ".4.tmp";
    const std::string running = "doc.sdb." + std::to_string(getppid()) + ".0.tmp";
    write("doc.sdt", "a 1\n");
    for (const std::string& name : {stale, stale_check, running})
        write(name.c_str(), "part of a copy");
    load();
    EXPECT_EQ(text("a"), "1");
    EXPECT_FALSE(fs::exists(file(stale.c_str())));
    EXPECT_FALSE(fs::exists(file(stale_check.c_str())));
    EXPECT_TRUE(fs::exists(file(running.c_str())));
}

TEST_F(SkinDocumentLoaderTest, OnlyTheBinaryCopyLoadsUnderTheTextName)
{
    write("doc.sdt", "a 1\n");
    load();
    fs::remove(file("doc.sdt"));
    reload();
    EXPECT_EQ(text("a"), "1");
    ASSERT_EQ(skin().documents().size(), 1u);
    EXPECT_EQ(skin().documents()[0].path(), "doc.sdt");
}

TEST_F(SkinDocumentLoaderTest, UnreadableBinaryCopyFallsBackToTheText)
{
    write("doc.sdt", "a 1 b { c 2 }\n");
    load();
    const std::string good = content("doc.sdb");
    stop();
    const std::string damaged[] = {
        "",
        good.substr(0, good.size() / 2),
        std::string(good.size(), '\xff'),
        std::string(64, '\x01'),
    };
    for (const std::string& copy : damaged) {
        write("doc.sdb", copy);
        age("doc.sdb", -10);
        load();
        EXPECT_EQ(text("b.c"), "2");
        EXPECT_EQ(content("doc.sdb"), good);
        stop();
    }
}

TEST_F(SkinDocumentLoaderTest, DamagedBinaryCopyWithoutTextIsAnError)
{
    write("doc.sdb", "broken");
    EXPECT_THROW(load(), Exception);
}

TEST_F(SkinDocumentLoaderTest, CopyThatCannotBeWrittenIsSkipped)
{
    write("doc.sdt", "a 1\n");
    // A folder in the place of the copy.
    fs::create_directories(file("doc.sdb"));
    load();
    EXPECT_EQ(text("a"), "1");
    EXPECT_TRUE(fs::is_directory(file("doc.sdb")));
    EXPECT_FALSE(temporary_left());
}

TEST_F(SkinDocumentLoaderTest, FolderThatCannotBeWrittenGetsNoCopy)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into any folder";
    write("data/doc.sdt", "a 1\n");
    write("default.root", "SOURCE 100 FILE data\n");
    fs::permissions(file("data"), fs::perms::owner_write, fs::perm_options::remove);
    load();
    fs::permissions(file("data"), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(text("a"), "1");
    EXPECT_FALSE(fs::exists(file("data/doc.sdb")));
    EXPECT_FALSE(test::has_temporary_file(file("data")));
}

TEST_F(SkinDocumentLoaderTest, ReadOnlySourceGetsNoCopy)
{
    write("data/doc.sdt", "a 1\n");
    write("default.root", "SOURCE 100 FILE data READ_ONLY\n");
    load();
    EXPECT_EQ(text("a"), "1");
    EXPECT_FALSE(fs::exists(file("data/doc.sdb")));
}

TEST_F(SkinDocumentLoaderTest, DataAfterTheTreeIsAnError)
{
    write("doc.sdt", "a 1\n}\nb 2\n");
    try {
        load();
        FAIL() << "loaded";
    } catch (const IOException& error) {
        EXPECT_NE(std::string(error.what()).find("spare data in skin document."), std::string::npos)
            << error.what();
        EXPECT_NE(std::string(error.what()).find("doc.sdt"), std::string::npos) << error.what();
    }
}

}
}
