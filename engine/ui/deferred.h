#pragma once

#include <functional>

namespace kq {

/// Runs `handler` in a later scheduler step, as a run-once task keyed by `receiver`: a
/// deferred connection's handler runs after the emitting code has returned, so it may open a
/// modal loop. The task ends unrun when the receiver's tasks are removed (a control's are when
/// it is detached or destroyed). Needs the Mainframe.
void run_deferred(const void* receiver, std::function<void()> handler);

/// Drops the receiver's deferred handlers still waiting; nothing without a Mainframe.
void cancel_deferred(const void* receiver);

}
