#include "game/shell/score_entry.h"

#include <algorithm>

namespace kq {

void record_score(ScoreTable& scores, const std::string& name, int score)
{
    int& best = scores[name];
    best = std::max(best, score);
}

}
