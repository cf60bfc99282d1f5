#include "engine/host/system/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace kq::host {
namespace {

TEST(File, ExclusiveOpenersExcludeEachOther)
{
    const std::string path = std::filesystem::temp_directory_path() / ("kq_lock_" + std::to_string(::getpid()));
    FileOpenMode locked;
    locked.create = locked.write = locked.exclusive = true;
    const int holder = open_file(path.c_str(), locked);
    ASSERT_GE(holder, 0);
    EXPECT_EQ(write_file(holder, "1234", 4), 4u);
    EXPECT_EQ(open_file(path.c_str(), locked), -1);

    FileOpenMode plain;
    plain.read = true;
    const int reader = open_file(path.c_str(), plain);
    ASSERT_GE(reader, 0);
    char bytes[4] = {};
    EXPECT_EQ(read_file(reader, bytes, 4), 4u) << "the refused opener did not truncate";
    EXPECT_TRUE(is_file_at_end(reader));
    close_file(reader);

    close_file(holder);
    const int next = open_file(path.c_str(), locked);
    EXPECT_GE(next, 0) << "free again once the holder closed";
    close_file(next);
    EXPECT_TRUE(file_exists(path.c_str()));
    EXPECT_TRUE(file_modified_time(path.c_str()).has_value());
    EXPECT_TRUE(remove_file(path.c_str()));
    EXPECT_FALSE(file_modified_time(path.c_str()).has_value());
}

}
}
