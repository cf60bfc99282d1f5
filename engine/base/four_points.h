#pragma once

#include <array>

#include "engine/base/vector2.h"

namespace kq {

class TStream;

/// Reads "(" point "," point "," point "," point ")", each point "(" x "," y ")".
void read_four_points(TStream& stream, std::array<Vector2<float>, 4>& points);

}
