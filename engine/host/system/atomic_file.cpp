#include "engine/host/system/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
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

// The digits that end `name` before `end` (after a '.'), moved past; false when there are none.
bool take_number_before(const std::string& name, std::size_t& end, unsigned long& number)
{
    std::size_t start = end;
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9')
        --start;
    if (start == end || start == 0 || name[start - 1] != '.' || end - start > 10)
        return false;
    number = std::stoul(name.substr(start, end - start));
    end = start - 1;
    return true;
}

// The process id in a temporary name "<name>.<pid>.<n>.tmp"; 0 when the name is not one.
pid_t writer_of_temporary(const std::string& name)
{
    static const std::string suffix = ".tmp";
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    std::size_t end = name.size() - suffix.size();
    unsigned long counter = 0;
    unsigned long pid = 0;
    if (!take_number_before(name, end, counter) || !take_number_before(name, end, pid) || end == 0
        || pid > 0x7FFFFFFF)
        return 0;
    return static_cast<pid_t>(pid);
}

bool process_runs(pid_t pid)
{
    return pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH;
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

int remove_stale_temporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const pid_t writer = writer_of_temporary(name);
        if (writer <= 0 || process_runs(writer))
            continue;
        const std::string path = prefix + name;
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

}
