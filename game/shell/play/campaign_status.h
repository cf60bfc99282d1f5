#pragma once

#include <string>

#include "game/shell/progress/chapter.h"

namespace kq {

// What the panels show of the game in progress.

/// The chapter's name, the mission's number and the chapter's number of missions, as the
/// panels show them: "Meadow 3 / 6".
std::string mission_line(const Chapter& chapter, int mission);

/// How far a score has come through its upgrade level at the difficulty: 0 right at a
/// level's total cost, approaching 1 just before the next one; 0 where a level costs nothing.
float upgrade_fraction(int score, int difficulty);

/// The mission line of the current profile's chapter and mission; empty while no game is in
/// progress.
std::string current_mission_line();

/// The current profile's difficulty; 0 without a profile.
int current_difficulty();

}
