#pragma once

#include <string>

#include "engine/base/exception.h"

namespace kq {

struct ResRequest;

/// Errors of the resource manager, its sources, loaders and handles.
class ResException : public Exception
{
public:
    /// An error with this message.
    explicit ResException(std::string message) : Exception(std::move(message)) {}
    /// An error about a request: "(in resource: [" + the request + "]) " + message.
    ResException(const std::string& message, const ResRequest& request);
    /// "res".
    const char* category() const noexcept override { return "res"; }
};

}
