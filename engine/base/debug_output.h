#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kq {

/// A receiver of finished log lines, with the name of the log they came from (or null).
using DebugListener = std::function<void(const std::string& line, const std::string* log_name)>;

/// Registers a listener; returns its id, or -1 once the registry is gone at exit.
std::int32_t add_debug_listener(DebugListener listener);

/// Removes the listener with this id; an unknown id changes nothing.
void remove_debug_listener(std::int32_t id);

/// Calls every listener, in id order, with the line and the log's name.
void debug_broadcast(const std::string& line, const std::string* log_name);

}
