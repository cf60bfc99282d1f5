#include "engine/host/system/wake_up.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kq::host {

WakeUp::WakeUp() : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeUp::~WakeUp()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void WakeUp::wait(std::int64_t ms)
{
    if (ms <= 0 || m_fd < 0)
        return;
    const int timeout = static_cast<int>(std::min<std::int64_t>(ms, std::numeric_limits<int>::max()));
    pollfd entry{m_fd, POLLIN, 0};
    if (::poll(&entry, 1, timeout) > 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = ::read(m_fd, &count, sizeof count);
    }
}

void WakeUp::wake()
{
    if (m_fd < 0)
        return;
    const int saved = errno;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t put = ::write(m_fd, &one, sizeof one);
    errno = saved;
}

}
