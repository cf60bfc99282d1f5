#include "engine/base/service.h"

#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "engine/base/shared_ptr.h"
#include "engine/host/system/quit_queue.h"

namespace kq {

TStream& Service::log() const
{
    return get_log(m_name);
}

void require_mainframe(const std::string& service)
{
    if (!Mainframe::instance())
        KQ_THROW(Exception, "Unable to start service [" + service + "]. Mainframe not initialized correctly.");
}

void require_service(const std::string& service, bool running, const std::string& prerequisite)
{
    if (!running)
        KQ_THROW(Exception, "Unable to start service [" + service + "]. [" + prerequisite + "] not initialized.");
}

void start_service(Service* service)
{
    SharedPtr<Service> started(service);
    if (host::take_quit()) {
        // Left waiting for whatever runs after the start.
        host::post_quit();
        throw StartInterrupted();
    }
    Mainframe::register_service(started);
}

void stop_service(Service* service)
{
    if (service)
        Mainframe::unregister_service(SharedPtr<Service>(service));
}

}
