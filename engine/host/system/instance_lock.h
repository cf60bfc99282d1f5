#pragma once

#include <cstdint>
#include <string>

namespace kq::host {

/// The lock that lets one process per user run: an exclusive lock on a file that holds the
/// id of the process that holds it. A file left by a process that died holds no lock.
class InstanceLock
{
public:
    /// Takes the lock without waiting; when taken, the file holds this process's id (4 bytes,
    /// little-endian). The file of a running holder is never changed.
    explicit InstanceLock(std::string path);
    /// Releases the lock and removes the file, when held.
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    /// Whether this process holds the lock.
    bool held() const { return m_fd >= 0; }
    /// Whether another process holds it (false when the file could not be opened at all).
    bool held_elsewhere() const { return m_held_elsewhere; }
    /// Why the lock was neither taken nor found held: the system's reason; empty otherwise.
    const std::string& failure() const { return m_failure; }

    /// The process id in the lock file; 0 when it holds fewer than 4 bytes or cannot be read.
    static std::uint32_t read_holder(const std::string& path);

private:
    void fail_and_close(int fd);

    std::string m_path;
    int m_fd = -1;
    bool m_held_elsewhere = false;
    std::string m_failure;
};

}
