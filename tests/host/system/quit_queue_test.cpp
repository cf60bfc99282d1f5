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
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT})
        std::raise(signal);
    EXPECT_EQ(drain(), 4);
}

}
}
