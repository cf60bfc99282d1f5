#include "engine/res/res_request.h"

#include "engine/base/tstream.h"

namespace kq {

bool operator==(const ResRequest& a, const ResRequest& b)
{
    return a.m_type == b.m_type && a.m_key == b.m_key;
}

TStream& operator<<(TStream& stream, const ResRequest& request)
{
    return stream << request.m_type << " " << request.m_key;
}

}
