#include "engine/host/system/directories.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
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
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return with_slash(data);
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return with_slash(std::string(home) + "/.local/share");
    return std::nullopt;
}

std::string get_module_path()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string create_directory(const std::string& path)
{
    if (::mkdir(path.c_str(), S_IRWXU | S_IRWXG | S_IRWXO) == 0)
        return {};
    int error = errno;
    if (error == EEXIST) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            return {};
        error = ENOTDIR;
    }
    return std::strerror(error);
}

}
