#pragma once

#include "engine/base/str_cache.h"
#include "engine/res/res_key.h"

namespace kq {

class TStream;

/// A load request: the interned type name of the resource class and the key of its file.
struct ResRequest
{
    StrCache m_type;
    ResKey m_key;
};

/// Same type name and same key.
bool operator==(const ResRequest& a, const ResRequest& b);

/// Writes the request as three tokens: the type name, the path and the flags.
TStream& operator<<(TStream& stream, const ResRequest& request);

}
