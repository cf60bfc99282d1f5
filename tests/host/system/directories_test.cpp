#include "engine/host/system/directories.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace kq::host {
namespace {

// Sets an environment variable for one scope and restores it afterwards.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        m_had = std::getenv(name) != nullptr;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_had)
            ::setenv(m_name, m_old.c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

TEST(Directories, PersonalDirFromXdgOrHome)
{
    const std::filesystem::path base = std::filesystem::temp_directory_path() / ("kq_dirs_" + std::to_string(::getpid()));
    {
        ScopedEnv xdg("XDG_DATA_HOME", (base / "Xdg").c_str());
        EXPECT_EQ(get_personal_dir(), (base / "Xdg").string() + "/");
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", "");
        ScopedEnv home("HOME", base.c_str());
        EXPECT_EQ(get_personal_dir(), base.string() + "/.local/share/");
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        EXPECT_EQ(get_personal_dir(), std::nullopt);
    }
    std::filesystem::remove_all(base);
}

TEST(Directories, CurrentDirAndModulePath)
{
    EXPECT_EQ(get_current_dir(), std::filesystem::current_path().string() + "/");
    EXPECT_EQ(std::filesystem::path(get_module_path()).filename(), "test_host_system");
    const std::string folder = std::filesystem::temp_directory_path() / ("kq_mkdir_" + std::to_string(::getpid()));
    EXPECT_EQ(create_directory(folder), "");
    EXPECT_EQ(create_directory(folder), "") << "a folder already";
    std::filesystem::remove(folder);
    std::ofstream(folder) << "a file";
    EXPECT_EQ(create_directory(folder), "Not a directory");
    EXPECT_EQ(create_directory(folder + "/inside"), "Not a directory");
    EXPECT_EQ(create_directory(folder + "/missing/inside"), "Not a directory");
    std::filesystem::remove(folder);
    EXPECT_EQ(create_directory(folder + "/missing/inside"), "No such file or directory");
}

}
}
