#include "engine/host/window/window_records.h"

#include <map>

namespace kq::host {

namespace {

std::map<WindowHandle, WindowRecord>& records()
{
    static std::map<WindowHandle, WindowRecord> map;
    return map;
}

}

WindowRecord& add_record(WindowHandle window, MessageHandler handler, int mode)
{
    WindowRecord& record = records()[window];
    record = WindowRecord{};
    record.handler = std::move(handler);
    record.mode = mode;
    return record;
}

void erase_record(WindowHandle window)
{
    records().erase(window);
}

WindowRecord* find_record(WindowHandle window)
{
    const auto found = records().find(window);
    return found == records().end() ? nullptr : &found->second;
}

bool send_event(WindowHandle window, int type, int a, int b)
{
    WindowRecord* record = find_record(window);
    if (!record || !record->handler)
        return false;
    WindowMessage message{type, a, b, 0};
    // A copy: the handler may destroy the window and with it the record.
    const MessageHandler handler = record->handler;
    handler(message);
    return true;
}

}
