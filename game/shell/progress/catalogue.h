#pragma once

#include "engine/art/spline_cubic.h"
#include "engine/base/vector2.h"
#include "game/shell/progress/chapter.h"

namespace kq {

class SkinPath;

/// The travel route across the missions: points of the map keyed by travelled distance.
using TravelPath = CubicSpline<float, Vector2<float>>;

/// Reads the chapters "chapter1" to "chapter<chapter_count>" under the catalogue's node
/// ("missions"); none when the count is below 1. A missing key fails with the skin's error.
void read_catalogue(const SkinPath& path, Chapters& chapters);

/// Lays the travel route through the path points of every mission from chapter 2 on, in
/// order, and gives each mission the distance at which the route reaches it (0 in chapter 1,
/// whose missions add nothing). Each mission after the first of chapter 2 must lie further
/// along the route than the one before: one that does not fails, naming its node.
void build_travel_route(Chapters& chapters, TravelPath& route);

}
