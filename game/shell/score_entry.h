#pragma once

#include <map>
#include <string>

namespace kq {

/// One row of the score list.
struct ScoreEntry
{
    std::string name;
    int score = 0;

    friend bool operator==(const ScoreEntry&, const ScoreEntry&) = default;
};

/// The best finished-game score per player name.
using ScoreTable = std::map<std::string, int>;

/// Raises the name's entry (0 for a new one) to the score when the score is larger.
void record_score(ScoreTable& scores, const std::string& name, int score);

}
