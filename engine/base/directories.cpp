#include "engine/base/directories.h"

#include "engine/base/exception.h"
#include "engine/host/system/directories.h"

namespace kq {

namespace {

FilePath& app_dir()
{
    static FilePath dir;
    return dir;
}

}

FilePath get_current_dir()
{
    return FilePath(host::get_current_dir());
}

FilePath get_personal_dir()
{
    const auto dir = host::get_personal_dir();
    if (!dir)
        throw IOException("failed to get personal dir");
    create_directories(FilePath(*dir));
    return FilePath(*dir);
}

FilePath get_module_path()
{
    return FilePath(host::get_module_path());
}

FilePath get_app_dir()
{
    return app_dir();
}

void set_app_dir(const FilePath& dir)
{
    app_dir() = dir;
}

void create_directories(const FilePath& path)
{
    std::string folder = path.root();
    const std::uint32_t count = path.directory_count();
    for (std::uint32_t i = 0; i < count; ++i) {
        folder += path.subdirectory(i);
        if (const std::string failure = host::create_directory(folder); !failure.empty())
            throw IOException("folder [" + folder + "] can not be made: " + failure);
    }
}

}
