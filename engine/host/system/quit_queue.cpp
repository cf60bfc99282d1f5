#include "engine/host/system/quit_queue.h"

#include <atomic>
#include <csignal>

namespace kq::host {

namespace {

// Lock-free, so the signal handler may touch it.
std::atomic<int> g_pending_quits{0};
static_assert(std::atomic<int>::is_always_lock_free);

void on_quit_signal(int)
{
    post_quit();
}

}

void watch_quit_signals()
{
    struct sigaction action {};
    action.sa_handler = on_quit_signal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ::sigaction(signal, &action, nullptr);
}

void post_quit()
{
    g_pending_quits.fetch_add(1);
}

bool take_quit()
{
    int pending = g_pending_quits.load();
    while (pending > 0)
        if (g_pending_quits.compare_exchange_weak(pending, pending - 1))
            return true;
    return false;
}

}
