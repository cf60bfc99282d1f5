#include "engine/host/system/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace kq::host {

namespace {

std::string failure(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new file beside the target, under a name no other writer (another process on the same
// folder included) uses; -1 with errno set when none can be made.
int create_temporary(const std::string& path, std::string& name)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// 0 or the errno of the first failing write.
int write_whole(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// 0 or the errno: flushing the folder makes the rename itself last across a power loss.
int sync_folder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = ::fsync(fd) == 0 ? 0 : errno;
    // Some file systems cannot flush a folder; the rename is done all the same.
    if (error == EINVAL || error == EROFS)
        error = 0;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

}

std::string write_file_atomically(const std::string& path, std::string_view content)
{
    std::string temporary;
    const int fd = create_temporary(path, temporary);
    if (fd < 0)
        return failure(path, errno);
    int error = write_whole(fd, content);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    // A full disk on a network or delayed-allocation file system may only show at close.
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failure(path, error);
    }
    error = sync_folder(folder_of(path));
    return error == 0 ? std::string() : failure(folder_of(path), error);
}

}
