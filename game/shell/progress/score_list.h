#pragma once

#include <vector>

#include "game/shell/progress/profile.h"
#include "game/shell/progress/score_entry.h"

namespace kq {

/// The players shown in the score list.
inline constexpr std::size_t score_list_size = 5;

/// Replaces `out` by the best score of each player name, highest first and at most five:
/// per name the larger of its recorded finished games and the score of a profile's game in
/// progress (a profile without a recorded entry shows its current score).
void build_score_list(const ScoreTable& scores, const Profiles& profiles, std::vector<ScoreEntry>& out);

}
