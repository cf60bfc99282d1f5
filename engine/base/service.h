#pragma once

#include <string>

#include "engine/base/shared_object.h"

namespace kq {

class TStream;

/// Base of the named services that the Mainframe holds from start-up to shutdown.
class Service : public SharedObject
{
public:
    /// A service of this name (names need not be unique).
    explicit Service(std::string name) : m_name(std::move(name)) {}

    /// The service's name.
    std::string name() const { return m_name; }
    /// The log named after the service.
    TStream& log() const;

    /// Called by the Mainframe right after registration; errors pass on, logged.
    virtual void initialize() {}
    /// Called by the Mainframe when the service is unregistered; errors pass on, logged.
    virtual void shutdown() {}

private:
    std::string m_name;
};

/// For a start function: throws (logged) "Unable to start service [<service>]. Mainframe not
/// initialized correctly." when no Mainframe exists.
void require_mainframe(const std::string& service);

/// For a start function: throws (logged) "Unable to start service [<service>].
/// [<prerequisite>] not initialized." unless `running`.
void require_service(const std::string& service, bool running, const std::string& prerequisite);

/// Thrown by `start_service` when a quit was asked for while the system starts: not an error,
/// so it derives from no exception class; `Application::execute` shuts down in order on it.
class StartInterrupted
{
};

/// Registers the service with the Mainframe, which shares it and initialises it. When a quit
/// request is waiting, the service is dropped instead and `StartInterrupted` thrown, so a
/// start that takes long still ends at its next service when the user asks to quit.
void start_service(Service* service);

/// Unregisters the running service (null: nothing); it dies with its last handle.
void stop_service(Service* service);

}
