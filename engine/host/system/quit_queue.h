#pragma once

namespace kq::host {

/// From now on SIGINT, SIGTERM, SIGHUP and SIGQUIT each add a quit request instead of ending
/// the process.
void watch_quit_signals();

/// Adds a quit request (what closing the window does).
void post_quit();

/// Takes one pending quit request; false when none is waiting.
bool take_quit();

}
