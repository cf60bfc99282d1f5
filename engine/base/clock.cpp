#include "engine/base/clock.h"

#include "engine/host/system/clock.h"
#include "engine/host/system/wake_up.h"

namespace kq {

namespace {

class SystemClock : public Clock
{
public:
    std::int64_t now() override { return host::monotonic_ms() - m_start; }
    void sleep(std::int64_t ms) override { m_wake_up.wait(ms); }
    void wake() override { m_wake_up.wake(); }

private:
    std::int64_t m_start = host::monotonic_ms();
    host::WakeUp m_wake_up;
};

SystemClock& system_clock()
{
    static SystemClock clock;
    return clock;
}

Clock*& current_clock()
{
    static Clock* clock = &system_clock();
    return clock;
}

// Touched during static initialisation so that time counts from the process start.
[[maybe_unused]] const Clock* const g_started = current_clock();

}

std::int64_t time_ms()
{
    return current_clock()->now();
}

void sleep_ms(std::int64_t ms)
{
    if (ms > 0)
        current_clock()->sleep(ms);
}

void wake_sleep()
{
    current_clock()->wake();
}

Clock* set_clock(Clock* clock)
{
    Clock*& current = current_clock();
    Clock* previous = current == &system_clock() ? nullptr : current;
    current = clock ? clock : &system_clock();
    return previous;
}

}
