#pragma once

#include <filesystem>
#include <string>

#include <unistd.h>

namespace kq {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir
{
public:
    TempDir()
    {
        static int count = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("kq_test_" + std::to_string(::getpid()) + "_" + std::to_string(count++));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path() const { return m_path.string() + "/"; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

}
