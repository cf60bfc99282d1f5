#pragma once

#include <string>

namespace kq {

// What the panels show of the game in progress, read from the current profile and the
// catalogue at each draw.

/// The current chapter's name, its current mission's number and its number of missions
/// ("Meadow 3 / 6"); empty while no game is in progress.
std::string mission_line();

/// How far the score has come through its upgrade level at the current profile's
/// difficulty: 0 right at a level's cost, approaching 1 just before the next one.
float upgrade_progress(int score);

}
