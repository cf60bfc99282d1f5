#include "engine/base/exception.h"

#include "engine/base/string_utils.h"

namespace kq {

const char* Exception::what() const noexcept
{
    // Messages echo names and words read from files, which a damaged file fills with bytes
    // no log or message box should carry raw.
    if (m_text.empty())
        m_text = std::string("kq.") + category() + ": " + printable_text(m_message);
    return m_text.c_str();
}

IOException::IOException(std::string_view path, std::string_view message)
    : Exception(std::string("file [").append(path).append("] ").append(message))
{
}

ServiceException::ServiceException(std::string_view service_name, std::string_view message)
    : Exception(std::string("(in service [").append(service_name).append("]) ").append(message))
{
}

namespace rtti {

RTTIException::RTTIException(std::string_view type_name, std::string_view message)
    : CoreException(std::string("[").append(type_name).append("] ").append(message))
{
}

}

}
