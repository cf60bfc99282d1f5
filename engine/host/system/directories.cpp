#include "engine/host/system/directories.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace kq::host {

namespace {

std::string with_slash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

}

std::string get_current_dir()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error);
    return error ? std::string("/") : with_slash(path.string());
}

bool set_current_dir(const std::string& path)
{
    return ::chdir(path.c_str()) == 0;
}

std::optional<std::string> get_personal_dir()
{
    std::string folder;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        folder = data;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        folder = std::string(home) + "/.local/share";
    else
        return std::nullopt;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        return std::nullopt;
    return with_slash(folder);
}

std::string get_module_path()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

bool create_directory(const std::string& path)
{
    return ::mkdir(path.c_str(), S_IRWXU | S_IRWXG | S_IRWXO) == 0;
}

}
