#include "engine/host/system/file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kq::host {

namespace {

int open_flags(const FileOpenMode& mode)
{
    int flags = O_CLOEXEC;
    if (mode.create)
        flags |= O_CREAT | O_TRUNC;
    if (mode.append)
        flags |= O_APPEND;
    if (mode.read && mode.write)
        flags |= O_RDWR;
    else if (mode.write)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    return flags;
}

}

int open_file(const char* path, const FileOpenMode& mode)
{
    const int flags = open_flags(mode);
    // Lock before truncating, so a refused opener leaves the holder's content alone.
    const int fd = ::open(path, flags & ~O_TRUNC, 0666);
    if (fd < 0)
        return -1;
    if (mode.exclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    if ((flags & O_TRUNC) && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return -1;
    }
    // The open descriptor keeps a removed file alive until it is closed.
    if (mode.temporary && mode.create)
        ::unlink(path);
    return fd;
}

void close_file(int fd)
{
    ::close(fd);
}

std::int64_t read_file(int fd, void* data, std::uint32_t n)
{
    ssize_t count;
    do
        count = ::read(fd, data, n);
    while (count < 0 && errno == EINTR);
    return count;
}

std::int64_t write_file(int fd, const void* data, std::uint32_t n)
{
    ssize_t count;
    do
        count = ::write(fd, data, n);
    while (count < 0 && errno == EINTR);
    return count;
}

std::string last_error_text()
{
    return std::strerror(errno);
}

std::int64_t seek_file(int fd, std::int64_t offset, int whence)
{
    return ::lseek(fd, offset, whence);
}

std::int64_t file_length(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? info.st_size : -1;
}

bool is_file_at_end(int fd)
{
    const std::int64_t position = ::lseek(fd, 0, SEEK_CUR);
    return position >= 0 && position >= file_length(fd);
}

bool file_exists(const char* path)
{
    struct stat info {};
    return ::stat(path, &info) == 0;
}

std::optional<std::int64_t> file_modified_time(const char* path)
{
    struct stat info {};
    if (::stat(path, &info) != 0)
        return std::nullopt;
    return std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

bool remove_file(const char* path)
{
    return ::unlink(path) == 0;
}

}
