#include "engine/host/system/activation_socket.h"

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kq::host {

namespace {

bool make_address(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}

ActivationSocket::ActivationSocket(std::string path) : m_path(std::move(path))
{
    sockaddr_un address;
    if (!make_address(m_path, address)) {
        m_failure = "path longer than " + std::to_string(sizeof address.sun_path - 1) + " bytes";
        return;
    }
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_failure = std::strerror(errno);
        return;
    }
    // Only the holder of the instance lock listens, so a file already there is stale.
    ::unlink(m_path.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        m_failure = std::strerror(errno);
        ::close(fd);
        return;
    }
    m_fd = fd;
}

ActivationSocket::~ActivationSocket()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    ::unlink(m_path.c_str());
}

bool ActivationSocket::take_requests()
{
    const auto own_id = static_cast<std::uint32_t>(::getpid());
    bool requested = false;
    while (m_fd >= 0) {
        std::uint32_t id = 0;
        const ssize_t got = ::recv(m_fd, &id, sizeof id, 0);
        if (got < 0)
            break;
        requested = requested || (got == sizeof id && id == own_id);
    }
    return requested;
}

bool ActivationSocket::request(const std::string& path, std::uint32_t process_id)
{
    sockaddr_un address;
    if (!make_address(path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool sent = ::sendto(fd, &process_id, sizeof process_id, MSG_DONTWAIT,
                               reinterpret_cast<const sockaddr*>(&address), sizeof address)
        == sizeof process_id;
    ::close(fd);
    return sent;
}

}
