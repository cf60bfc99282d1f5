#include "engine/res/res_key.h"

#include "engine/base/file_path.h"
#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"

namespace kq {

bool operator<(const ResKey& a, const ResKey& b)
{
    if (int order = a.m_path.compare(b.m_path); order != 0)
        return order < 0;
    return static_cast<std::uint32_t>(a.m_flags) < static_cast<std::uint32_t>(b.m_flags);
}

bool operator==(const ResKey& a, const ResKey& b)
{
    return a.m_flags == b.m_flags && a.m_path == b.m_path;
}

TStream& operator<<(TStream& stream, const ResKey& key)
{
    return stream << key.m_path << " " << key.m_flags;
}

TStream& operator>>(TStream& stream, ResKey& key)
{
    FilePath path;
    stream >> path;
    key.m_path = path.str();
    key.m_flags = to_int(stream.read_token());
    return stream;
}

}
