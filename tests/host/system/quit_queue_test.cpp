#include "engine/host/system/quit_queue.h"

#include <csignal>

#include <gtest/gtest.h>

namespace kq::host {
namespace {

int drain()
{
    int count = 0;
    while (take_quit())
        ++count;
    return count;
}

TEST(QuitQueueTest, RequestsAreTakenOneByOne)
{
    drain();
    post_quit();
    post_quit();
    EXPECT_TRUE(take_quit());
    EXPECT_TRUE(take_quit());
    EXPECT_FALSE(take_quit());
}

TEST(QuitQueueTest, SignalsBecomeRequests)
{
    drain();
    watch_quit_signals();
    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_EQ(drain(), 2);
}

}
}
