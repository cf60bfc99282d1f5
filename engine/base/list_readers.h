#pragma once

#include "engine/base/vector2.h"

#include <map>
#include <string>
#include <vector>

namespace kq {

class TStream;

/// Reads an opening token (any, "{" in documents) followed by points "(" x "," y ")" up to "}"
/// into `points`, which is cleared first.
void read_point_list(TStream& stream, std::vector<Vector2<float>>& points);

/// Reads "{" followed by point lists up to "}", each as `read_point_list`, into `lists`
/// (cleared first).
void read_point_lists(TStream& stream, std::vector<std::vector<Vector2<float>>>& lists);

/// Reads an opening token (any, "{" in documents) followed by entries name "," integer
/// (through `to_int`) up to "}" into `map`.
void read_name_int_map(TStream& stream, std::map<std::string, int>& map);

}
