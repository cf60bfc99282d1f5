#pragma once

#include <array>
#include <map>
#include <vector>

#include "engine/base/rect.h"
#include "engine/base/str_cache.h"
#include "game/field/field_enums.h"

namespace kq {

class TStream;

// The written forms of a mission's keys. Each reader passes over the opening bracket without
// looking at it; a list without its "}" runs into the end of the text and fails there with
// the stream's error, as does a number that is not one.

/// "(" a b c ")": three integers, no commas between them.
void read_int_triple(TStream& stream, std::array<int, 3>& values);
/// "{" then pairs of a bonus name, "," and a count, up to "}"; a later pair of one bonus
/// replaces an earlier one. The map is emptied first.
void read_bonus_list(TStream& stream, std::map<Bonus, int>& bonuses);
/// "(" "(" x "," y ")" "," "(" w "," h ")" ")": a rectangle by position and size.
void read_rect(TStream& stream, Rect& rect);
/// "{" then rectangles as `read_rect` up to "}"; the vector is emptied first.
void read_rect_list(TStream& stream, std::vector<Rect>& rects);
/// "{" then integers up to "}"; the vector is emptied first.
void read_int_list(TStream& stream, std::vector<int>& values);
/// "{" then names up to "}", each interned; the vector is emptied first.
void read_name_list(TStream& stream, std::vector<StrCache>& names);

}
