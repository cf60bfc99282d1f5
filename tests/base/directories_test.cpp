#include "engine/base/directories.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/base/exception.h"
#include "tests/base/temp_dir.h"

namespace kq {
namespace {

TEST(Directories, HostFoldersKeepTheirCase)
{
    EXPECT_EQ(get_current_dir().str(), std::filesystem::current_path().string() + "/");
    EXPECT_EQ(get_module_path().str(), std::filesystem::read_symlink("/proc/self/exe").string());
}

TEST(Directories, PersonalDirFailsWithoutHome)
{
    const std::string xdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");
    try {
        get_personal_dir();
        ADD_FAILURE() << "no error";
    } catch (const IOException& error) {
        EXPECT_STREQ(error.what(), "kq.io: failed to get personal dir");
    }
    if (!xdg.empty())
        ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    if (!home.empty())
        ::setenv("HOME", home.c_str(), 1);
}

TEST(Directories, CreatesEveryFolderOfThePath)
{
    TempDir dir;
    create_directories(FilePath(dir.path() + "Company/Product/"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Company/Product")));
    create_directories(FilePath(dir.path() + "Company/Product/save.dat"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Company/Product/save.dat")));
}

TEST(Directories, AFolderThatCannotBeMadeIsNamedWithTheReason)
{
    TempDir dir;
    std::ofstream(dir.file("Company")) << "a file where a folder belongs";
    try {
        create_directories(FilePath(dir.path() + "Company/Product/"));
        ADD_FAILURE() << "no error";
    } catch (const IOException& error) {
        EXPECT_EQ(std::string(error.what()),
                  "kq.io: folder [" + dir.path() + "Company/] can not be made: Not a directory");
    }
}

}
}
