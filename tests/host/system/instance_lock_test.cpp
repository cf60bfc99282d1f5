#include "engine/host/system/instance_lock.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/base/temp_dir.h"

namespace kq::host {
namespace {

namespace fs = std::filesystem;

class InstanceLockTest : public testing::Test
{
protected:
    void write_file(const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string read_file()
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    TempDir folder;
    std::string path = folder.file("locker.tmp");
    const std::uint32_t own_id = static_cast<std::uint32_t>(::getpid());
};

TEST_F(InstanceLockTest, TheHolderWritesItsIdAndRemovesTheFileAtTheEnd)
{
    {
        InstanceLock lock(path);
        ASSERT_TRUE(lock.held());
        EXPECT_EQ(read_file().size(), 4u);
        EXPECT_EQ(InstanceLock::read_holder(path), own_id);
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(InstanceLockTest, ASecondLockFailsAndLeavesTheHoldersFile)
{
    InstanceLock first(path);
    ASSERT_TRUE(first.held());
    const std::string before = read_file();
    {
        InstanceLock second(path);
        EXPECT_FALSE(second.held());
        EXPECT_TRUE(second.held_elsewhere());
    }
    EXPECT_EQ(read_file(), before);
    EXPECT_TRUE(fs::exists(path));
}

TEST_F(InstanceLockTest, AStaleFileDoesNotStopTheLock)
{
    write_file("\x01\x02\x03\x04\x05\x06\x07\x08");
    InstanceLock lock(path);
    ASSERT_TRUE(lock.held());
    EXPECT_EQ(read_file().size(), 4u);
    EXPECT_EQ(InstanceLock::read_holder(path), own_id);
}

TEST_F(InstanceLockTest, ReadingTheHolder)
{
    struct Case
    {
        const char* title;
        const char* bytes;  // null: no file
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"little-endian id", "\x78\x56\x34\x12", 0x12345678u},
        {"short file", "\x78\x56", 0},
        {"empty file", "", 0},
        {"no file", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove(path);
        if (c.bytes)
            write_file(c.bytes);
        EXPECT_EQ(InstanceLock::read_holder(path), c.expected);
    }
}

TEST_F(InstanceLockTest, AnUnwritableFolderIsAFailureNotAnotherInstance)
{
    InstanceLock lock(folder.file("missing/locker.tmp"));
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(lock.held_elsewhere());
    EXPECT_EQ(lock.failure(), "No such file or directory");
    fs::create_directories(path);
    EXPECT_EQ(InstanceLock(path).failure(), "Is a directory");
}

}
}
