#pragma once

#include <vector>

#include "engine/base/rect.h"
#include "engine/base/vector2.h"

namespace kq {

/// A random point inside one of the areas, the area drawn in proportion to its size, from
/// the process-wide generator (three draws). An empty list is logged as an error and gives
/// (0, 0).
Vector2<float> pick_area_point(const std::vector<Rect>& areas);

}
