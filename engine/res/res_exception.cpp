#include "engine/res/res_exception.h"

#include "engine/base/string_stream.h"
#include "engine/res/res_request.h"

namespace kq {
namespace {

std::string in_resource(const std::string& message, const ResRequest& request)
{
    StringStream text;
    text << "(in resource: [" << request << "]) " << message.c_str();
    return text.str();
}

}

ResException::ResException(const std::string& message, const ResRequest& request)
    : Exception(in_resource(message, request))
{
}

}
