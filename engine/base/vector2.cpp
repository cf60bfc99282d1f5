#include "engine/base/vector2.h"

#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"

namespace kq {

TStream& operator>>(TStream& stream, Vector2<float>& value)
{
    stream.expect("(");
    stream >> value.x;
    stream.expect(",");
    stream >> value.y;
    stream.expect(")");
    return stream;
}

TStream& operator>>(TStream& stream, Vector2<int>& value)
{
    stream.expect("(");
    value.x = to_int(stream.read_token());
    stream.expect(",");
    value.y = to_int(stream.read_token());
    stream.expect(")");
    return stream;
}

}
