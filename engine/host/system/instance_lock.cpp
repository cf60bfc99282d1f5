#include "engine/host/system/instance_lock.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kq::host {

namespace {

// Whether the open file is still the one the path names: a holder that just ended may have
// removed it between our open and our lock, and a lock on a removed file guards nothing.
bool is_named_file(int fd, const std::string& path)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0
        && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool write_process_id(int fd)
{
    const auto id = static_cast<std::uint32_t>(::getpid());
    const unsigned char bytes[4] = {static_cast<unsigned char>(id), static_cast<unsigned char>(id >> 8),
                                    static_cast<unsigned char>(id >> 16), static_cast<unsigned char>(id >> 24)};
    return ::ftruncate(fd, 0) == 0 && ::pwrite(fd, bytes, sizeof bytes, 0) == sizeof bytes;
}

}

InstanceLock::InstanceLock(std::string path) : m_path(std::move(path))
{
    constexpr int attempts = 8;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // Not truncated on open: the file of a running holder keeps its id.
        const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            m_failure = std::strerror(errno);
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            m_held_elsewhere = errno == EWOULDBLOCK;
            if (!m_held_elsewhere)
                m_failure = std::strerror(errno);
            ::close(fd);
            return;
        }
        if (is_named_file(fd, m_path)) {
            if (write_process_id(fd))
                m_fd = fd;
            else
                fail_and_close(fd);
            return;
        }
        ::close(fd);
    }
    m_failure = "the file kept being replaced";
}

void InstanceLock::fail_and_close(int fd)
{
    m_failure = std::strerror(errno);
    ::close(fd);
}

InstanceLock::~InstanceLock()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so that a starting process never locks the old file.
    ::unlink(m_path.c_str());
    ::close(m_fd);
}

std::uint32_t InstanceLock::read_holder(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    unsigned char bytes[4] = {};
    const ssize_t got = ::pread(fd, bytes, sizeof bytes, 0);
    ::close(fd);
    if (got != sizeof bytes)
        return 0;
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
}

}
