#include "engine/base/debug_output.h"

#include <map>

namespace kq {

namespace {

// Trivially destructible, so it still answers after the registry itself is destroyed.
bool g_listeners_gone = false;

struct DebugListeners
{
    ~DebugListeners() { g_listeners_gone = true; }

    std::map<std::int32_t, DebugListener> listeners;
    std::int32_t next_id = 0;
};

DebugListeners& debug_listeners()
{
    static DebugListeners registry;
    return registry;
}

}

std::int32_t add_debug_listener(DebugListener listener)
{
    if (g_listeners_gone)
        return -1;
    DebugListeners& registry = debug_listeners();
    registry.listeners.emplace(registry.next_id, std::move(listener));
    return registry.next_id++;
}

void remove_debug_listener(std::int32_t id)
{
    if (!g_listeners_gone)
        debug_listeners().listeners.erase(id);
}

void debug_broadcast(const std::string& line, const std::string* log_name)
{
    if (g_listeners_gone)
        return;
    for (const auto& [id, listener] : debug_listeners().listeners)
        listener(line, log_name);
}

}
