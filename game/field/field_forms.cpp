#include "game/field/field_forms.h"

#include "engine/base/enum_desc.h"
#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"
#include "engine/base/vector2.h"

namespace kq {

namespace {

int take_int(TStream& stream)
{
    std::string token;
    stream.take_token(token);
    return to_int(token);
}

}

void read_int_triple(TStream& stream, std::array<int, 3>& values)
{
    stream.advance();
    for (int& value : values)
        value = take_int(stream);
    stream.advance();
}

void read_bonus_list(TStream& stream, std::map<Bonus, int>& bonuses)
{
    bonuses.clear();
    stream.advance();
    while (!stream.token_is("}")) {
        Bonus bonus{};
        stream >> bonus;
        stream.expect(",");
        bonuses[bonus] = take_int(stream);
    }
    stream.advance();
}

void read_rect(TStream& stream, Rect& rect)
{
    Vector2<float> position;
    Vector2<float> size;
    stream.expect("(");
    stream >> position;
    stream.expect(",");
    stream >> size;
    stream.expect(")");
    rect = {position.x, position.y, size.x, size.y};
}

void read_rect_list(TStream& stream, std::vector<Rect>& rects)
{
    rects.clear();
    stream.advance();
    while (!stream.token_is("}"))
        read_rect(stream, rects.emplace_back());
    stream.advance();
}

void read_int_list(TStream& stream, std::vector<int>& values)
{
    values.clear();
    stream.advance();
    while (!stream.token_is("}"))
        values.push_back(take_int(stream));
    stream.advance();
}

void read_name_list(TStream& stream, std::vector<StrCache>& names)
{
    names.clear();
    stream.advance();
    while (!stream.token_is("}")) {
        std::string name;
        stream.take_token(name);
        names.emplace_back(name.c_str());
    }
    stream.advance();
}

}
