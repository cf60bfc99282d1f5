#include "engine/base/list_readers.h"

#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"

namespace kq {

void read_point_list(TStream& stream, std::vector<Vector2<float>>& points)
{
    points.clear();
    // The opening token is taken whatever it is; documents write "{".
    stream.skip_token();
    while (!stream.token_is("}")) {
        Vector2<float> point;
        stream >> point;
        points.push_back(point);
    }
    stream.expect("}");
}

void read_point_lists(TStream& stream, std::vector<std::vector<Vector2<float>>>& lists)
{
    lists.clear();
    stream.expect("{");
    while (!stream.token_is("}"))
        read_point_list(stream, lists.emplace_back());
    stream.expect("}");
}

void read_name_int_map(TStream& stream, std::map<std::string, int>& map)
{
    stream.skip_token();
    while (!stream.token_is("}")) {
        std::string name;
        stream.take_token(name);
        stream.expect(",");
        map[name] = to_int(stream.read_token());
    }
    stream.expect("}");
}

}
