#include "engine/host/system/wake_up.h"

#include <thread>

#include <gtest/gtest.h>

namespace kq::host {
namespace {

// Each wait below would last an hour if the wake were lost.
constexpr std::int64_t hour_ms = 3600 * 1000;

TEST(WakeUpTest, AWakeBeforeTheWaitEndsItAtOnce)
{
    WakeUp wake_up;
    ASSERT_TRUE(wake_up.ready());
    wake_up.wake();
    wake_up.wake();
    wake_up.wait(hour_ms);
    wake_up.wait(0);
}

TEST(WakeUpTest, AWakeFromAnotherThreadEndsTheWait)
{
    WakeUp wake_up;
    std::thread waker([&wake_up] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        wake_up.wake();
    });
    wake_up.wait(hour_ms);
    waker.join();
}

}
}
