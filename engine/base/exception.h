#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "engine/base/log.h"

namespace kq {

/// Base of every engine error: shows "kq." + category + ": " + message, with the message's
/// bytes that are not printable escaped.
class Exception : public std::exception
{
public:
    /// An error with this message; the shown text is composed on first `what`.
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    ~Exception() override = default;

    /// "kq." + category + ": " + message (not printable bytes as "\\xNN"); copies keep both.
    const char* what() const noexcept override;
    /// The category of the most derived class ("common" here).
    virtual const char* category() const noexcept { return "common"; }
    /// The message as given (without prefix and category).
    const std::string& message() const noexcept { return m_message; }

private:
    std::string m_message;
    mutable std::string m_text;
};

/// Errors of the engine core.
class CoreException : public Exception
{
public:
    /// An error with this message.
    explicit CoreException(std::string message) : Exception(std::move(message)) {}
    /// "core".
    const char* category() const noexcept override { return "core"; }
};

/// File and stream errors.
class IOException : public Exception
{
public:
    /// An error with this message.
    explicit IOException(std::string message) : Exception(std::move(message)) {}
    /// An error about a file: "file [" + path + "] " + message.
    IOException(std::string_view path, std::string_view message);
    /// "io".
    const char* category() const noexcept override { return "io"; }
};

/// Errors of a service.
class ServiceException : public Exception
{
public:
    /// An error with this message.
    explicit ServiceException(std::string message) : Exception(std::move(message)) {}
    /// An error of the named service: "(in service [" + name + "]) " + message.
    ServiceException(std::string_view service_name, std::string_view message);
    /// "services".
    const char* category() const noexcept override { return "services"; }
};

namespace rtti {

/// Errors of the type registry.
class RTTIException : public CoreException
{
public:
    /// An error about a type: "[" + type name + "] " + message (empty name for a unique id).
    RTTIException(std::string_view type_name, std::string_view message);
    /// "rtti".
    const char* category() const noexcept override { return "rtti"; }
};

}

/// The file name part of a source path (what `__FILE__` gives), for error reports.
constexpr const char* source_file_name(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/')
            name = p + 1;
    return name;
}

/// Writes the error's text and source place to the "error" log, then throws it.
template <class E>
[[noreturn]] void throw_logged(const E& error, const char* file, int line)
{
    log_error(error.what(), file, line);
    throw error;
}

}

/// Builds `Type(args...)`, logs it with this source place and throws it.
#define KQ_THROW(Type, ...) \
    ::kq::throw_logged(Type(__VA_ARGS__), ::kq::source_file_name(__FILE__), __LINE__)
