#include "engine/host/system/wake_up.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace kq::host {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// Each wait below that a wake should end would last an hour if the wake were lost; the bound
// that fails it is far below that and far above any scheduling delay.
constexpr std::int64_t hour_ms = 3600 * 1000;
constexpr milliseconds lost_wake{5000};

milliseconds timed_wait(WakeUp& wake_up, std::int64_t ms)
{
    const Clock::time_point start = Clock::now();
    wake_up.wait(ms);
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

TEST(WakeUpTest, AWakeBeforeTheWaitEndsItAtOnceAndCountsOnce)
{
    WakeUp wake_up;
    ASSERT_TRUE(wake_up.ready());
    wake_up.wake();
    wake_up.wake();
    EXPECT_LT(timed_wait(wake_up, hour_ms), lost_wake);
    // Both wakes were used up by the first wait: the next one runs its time.
    EXPECT_GE(timed_wait(wake_up, 30), milliseconds(25));
    EXPECT_LT(timed_wait(wake_up, 0), lost_wake);
}

TEST(WakeUpTest, AWakeFromAnotherThreadEndsTheWait)
{
    WakeUp wake_up;
    std::thread waker([&wake_up] {
        std::this_thread::sleep_for(milliseconds(20));
        wake_up.wake();
    });
    const milliseconds waited = timed_wait(wake_up, hour_ms);
    waker.join();
    EXPECT_LT(waited, lost_wake);
}

}
}
