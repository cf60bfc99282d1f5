#pragma once

#include <map>
#include <string>

namespace kq {

class SkinPath;

/// One row of the score list.
struct ScoreEntry
{
    std::string name;
    int score = 0;

    friend bool operator==(const ScoreEntry&, const ScoreEntry&) = default;
};

/// The best finished-game score per player name.
using ScoreTable = std::map<std::string, int>;

/// Adds the table written at the skin path: "{", then pairs of a name, "," and an integer,
/// then "}"; a repeated name keeps its last value. Text that does not read fails with the
/// stream's error.
void read_score_table(const SkinPath& path, ScoreTable& scores);

/// Raises the name's entry (0 for a new one) to the score when the score is larger.
void record_score(ScoreTable& scores, const std::string& name, int score);

}
