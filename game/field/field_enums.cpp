#include "game/field/field_enums.h"

#include "engine/base/enum_desc.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin.h"

namespace kq {

void read_game_state(TStream& stream, GameState& state)
{
    stream >> state;
}

void read_condition(const SkinPath& path, Condition& condition)
{
    StringStream stream(get_skin_text(path));
    stream >> condition;
}

}
