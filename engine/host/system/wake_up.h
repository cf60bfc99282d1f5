#pragma once

#include <cstdint>

namespace kq::host {

/// A timed sleep that another thread (or a signal handler) can end early.
class WakeUp
{
public:
    /// A wake-up with no wake pending; `ready` tells whether the system gave one.
    WakeUp();
    ~WakeUp();
    WakeUp(const WakeUp&) = delete;
    WakeUp& operator=(const WakeUp&) = delete;

    /// Whether the underlying event exists; without it `wait` returns at once.
    bool ready() const { return m_fd >= 0; }
    /// Blocks for ms milliseconds or until `wake`, whichever comes first; a wake that came
    /// before the call ends it at once. Returns at once for ms <= 0.
    void wait(std::int64_t ms);
    /// Ends the current or the next `wait`; safe from any thread and from signal handlers.
    void wake();

private:
    int m_fd;
};

}
