#include "engine/ui/deferred.h"

#include "engine/base/mainframe.h"

namespace kq {

void run_deferred(const void* receiver, std::function<void()> handler)
{
    Mainframe::add_task(std::move(handler), reinterpret_cast<Mainframe::TaskId>(receiver), 0, Mainframe::run_once);
}

void cancel_deferred(const void* receiver)
{
    if (Mainframe::instance())
        Mainframe::remove_task(reinterpret_cast<Mainframe::TaskId>(receiver));
}

}
