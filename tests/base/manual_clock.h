#pragma once

#include <functional>

#include "engine/base/clock.h"

namespace kq::test {

/// A clock the test drives: a sleep moves the time on at once, unless `on_sleep`, which acts
/// "during" the sleep, wakes it.
class ManualClock : public Clock
{
public:
    ManualClock() { m_previous = set_clock(this); }
    ~ManualClock() override { set_clock(m_previous); }

    std::int64_t now() override { return time; }
    void sleep(std::int64_t ms) override
    {
        const int wakes_before = wakes;
        if (on_sleep)
            on_sleep();
        if (wakes == wakes_before)
            time += ms;
    }
    void wake() override { ++wakes; }

    std::int64_t time = 0;
    int wakes = 0;
    std::function<void()> on_sleep;

private:
    Clock* m_previous = nullptr;
};

}
