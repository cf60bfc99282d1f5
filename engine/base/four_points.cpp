#include "engine/base/four_points.h"

#include "engine/base/tstream.h"

namespace kq {

void read_four_points(TStream& stream, std::array<Vector2<float>, 4>& points)
{
    stream.expect("(");
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0)
            stream.expect(",");
        stream >> points[i];
    }
    stream.expect(")");
}

}
