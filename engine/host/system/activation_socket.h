#pragma once

#include <cstdint>
#include <string>

namespace kq::host {

/// Where the running instance hears later instances ask it to come forward: a local datagram
/// socket at a path in the user's own folder (so only the user reaches it). Requests name the
/// process id they want, as read from the instance lock file.
class ActivationSocket
{
public:
    /// Listens at the path, replacing a socket file left by an instance that died.
    explicit ActivationSocket(std::string path);
    /// Stops listening and removes the socket file.
    ~ActivationSocket();
    ActivationSocket(const ActivationSocket&) = delete;
    ActivationSocket& operator=(const ActivationSocket&) = delete;

    /// Whether the socket listens (false when the system refused, or the path is too long).
    bool listening() const { return m_fd >= 0; }
    /// Why the socket does not listen; empty while it does.
    const std::string& failure() const { return m_failure; }
    /// Takes the pending requests without waiting; true when one of them names this process.
    bool take_requests();

    /// Asks the instance listening at the path to come forward, when it has this process id;
    /// false when nobody listens there.
    static bool request(const std::string& path, std::uint32_t process_id);

private:
    std::string m_path;
    std::string m_failure;
    int m_fd = -1;
};

}
