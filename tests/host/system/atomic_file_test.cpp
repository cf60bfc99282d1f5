#include "engine/host/system/atomic_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kq::host {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public testing::Test
{
protected:
    AtomicFileTest() : m_dir(fs::temp_directory_path() / ("kq_atomic_" + std::to_string(::getpid())))
    {
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    ~AtomicFileTest() override { fs::remove_all(m_dir); }

    std::string path(const char* name) const { return (m_dir / name).string(); }
    static std::string content(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool temporary_left() const
    {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_dir))
            if (entry.path().extension() == ".tmp")
                return true;
        return false;
    }

    fs::path m_dir;
};

TEST_F(AtomicFileTest, WritesWholeOrLeavesTheOldFileAlone)
{
    struct Case
    {
        const char* title;
        void (*arrange)(const fs::path& dir);
        const char* name;
        const char* failure;  // a part of the reason, or null for success
    };
    const Case cases[] = {
        {"a new file", [](const fs::path&) {}, "new.txt", nullptr},
        {"a longer old file", [](const fs::path& dir) { std::ofstream(dir / "old.txt") << std::string(5000, 'x'); },
         "old.txt", nullptr},
        {"a missing folder", [](const fs::path&) {}, "missing/file.txt", "No such file or directory"},
        {"a folder in the file's place", [](const fs::path& dir) { fs::create_directories(dir / "taken/inside"); },
         "taken", "directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        c.arrange(m_dir);
        const std::string failure = write_file_atomically(path(c.name), "fresh content");
        if (c.failure) {
            EXPECT_NE(failure.find(path(c.name)), std::string::npos) << failure;
            EXPECT_NE(failure.find(c.failure), std::string::npos) << failure;
        } else {
            EXPECT_EQ(failure, "");
            EXPECT_EQ(content(path(c.name)), "fresh content");
        }
        EXPECT_FALSE(temporary_left());
    }
    EXPECT_TRUE(fs::is_directory(m_dir / "taken/inside"));
}

TEST_F(AtomicFileTest, TheFileTakesTheUsersUmask)
{
    for (const mode_t mask : {mode_t(022), mode_t(002), mode_t(077)}) {
        const mode_t previous = ::umask(mask);
        const std::string failure = write_file_atomically(path("shared.txt"), "x");
        ::umask(previous);
        ASSERT_EQ(failure, "");
        struct stat info {};
        ASSERT_EQ(::stat(path("shared.txt").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << std::oct << mask;
    }
}

// Two writers on one file, as two games starting on one data tree: a reader sees one of the
// two contents whole, never a mix or a part.
TEST_F(AtomicFileTest, ConcurrentWritersNeverShowAPart)
{
    const std::string target = path("copy.sdb");
    const std::string first(256 * 1024, 'a');
    const std::string second(128 * 1024, 'b');
    ASSERT_EQ(write_file_atomically(target, first), "");
    std::atomic<bool> done{false};
    auto writer = [&](const std::string& text) {
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(write_file_atomically(target, text), "");
    };
    int reads = 0;
    int torn = 0;
    std::thread reader([&] {
        while (!done) {
            const std::string seen = content(target);
            torn += seen != first && seen != second;
            ++reads;
        }
    });
    std::thread a(writer, first);
    std::thread b(writer, second);
    a.join();
    b.join();
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    EXPECT_FALSE(temporary_left());
}

// A writer killed between creating its temporary file and renaming it leaves the file behind;
// a later start removes it once its process is gone, and nothing else.
TEST_F(AtomicFileTest, StaleTemporariesOfEndedProcessesAreRemoved)
{
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    const std::string dead = std::to_string(ended);
    const std::string own = std::to_string(::getpid());
    struct Case
    {
        std::string name;
        bool removed;
    };
    const Case cases[] = {
        {"ui.sdb." + dead + ".0.tmp", true},
        {"game.cfg." + dead + ".4294967295.tmp", true},
        {"ui.sdb." + own + ".1.tmp", false},    // this process's own write in progress
        {"ui.sdb.1.2.tmp", false},              // a running process (the first one)
        {dead + ".0.tmp", false},               // no file name before the numbers
        {"ui.sdb." + dead + ".tmp", false},     // one number only
        {"ui.sdb." + dead + ".x.tmp", false},
        {"notes.tmp", false},
        {"ui.sdb." + dead + ".0.tmp.old", false},
    };
    for (const Case& c : cases)
        std::ofstream(m_dir / c.name) << "part of a file";
    fs::create_directories(m_dir / ("folder." + dead + ".0.tmp"));
    EXPECT_EQ(remove_stale_temporaries(m_dir.string()), 2);
    for (const Case& c : cases)
        EXPECT_EQ(fs::exists(m_dir / c.name), !c.removed) << c.name;
    EXPECT_TRUE(fs::is_directory(m_dir / ("folder." + dead + ".0.tmp")));
    EXPECT_EQ(remove_stale_temporaries(path("missing")), 0);
}

}
}
