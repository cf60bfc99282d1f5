#pragma once

#include <stdexcept>
#include <string>

#include "engine/base/service.h"

namespace kq::test {

/// Which calls of a `TracedService` throw.
struct ServiceFailures
{
    bool initialize = false;
    bool shutdown = false;
};

/// A service that writes its calls ("init <name> ", "shut <name> ", "~<name> ") into a trace
/// and fails where told.
class TracedService : public Service
{
public:
    TracedService(std::string name, std::string& trace, ServiceFailures failures = {})
        : Service(std::move(name)), m_trace(trace), m_failures(failures)
    {
    }
    ~TracedService() override { m_trace += "~" + name() + " "; }

    void initialize() override
    {
        m_trace += "init " + name() + " ";
        if (m_failures.initialize)
            throw std::runtime_error("initialize failed");
    }
    void shutdown() override
    {
        m_trace += "shut " + name() + " ";
        if (m_failures.shutdown)
            throw std::runtime_error("shutdown failed");
    }

private:
    std::string& m_trace;
    ServiceFailures m_failures;
};

}
