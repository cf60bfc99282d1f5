#pragma once

#include <cstdint>

namespace kq {

/// Where the scheduler's time comes from and how it sleeps. The process runs on the system
/// clock; tests install a clock they drive by hand.
class Clock
{
public:
    virtual ~Clock() = default;
    /// Milliseconds since the clock started; never goes back.
    virtual std::int64_t now() = 0;
    /// Sleeps ms milliseconds, or less when `wake` is called meanwhile.
    virtual void sleep(std::int64_t ms) = 0;
    /// Ends a sleep in progress at once.
    virtual void wake() = 0;
};

/// Milliseconds since the process started, on the current clock (64-bit: never wraps).
std::int64_t time_ms();

/// Sleeps ms milliseconds on the current clock; returns at once when ms <= 0.
void sleep_ms(std::int64_t ms);

/// Ends a `sleep_ms` in progress.
void wake_sleep();

/// Makes `clock` the current clock (null: the system clock again); returns the one it
/// replaces (null for the system clock). The caller keeps ownership.
Clock* set_clock(Clock* clock);

}
