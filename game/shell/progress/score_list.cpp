#include "game/shell/progress/score_list.h"

#include <algorithm>

namespace kq {

void build_score_list(const ScoreTable& scores, const Profiles& profiles, std::vector<ScoreEntry>& out)
{
    out.clear();
    for (const auto& [name, score] : scores)
        out.push_back({name, score});
    for (const Profile& profile : profiles) {
        const auto entry = std::find_if(out.begin(), out.end(),
                                        [&](const ScoreEntry& e) { return e.name == profile.name; });
        if (entry == out.end())
            out.push_back({profile.name, profile.score});
        else
            entry->score = std::max(entry->score, profile.score);
    }
    // Stable: equal scores keep name order, then profile order.
    std::stable_sort(out.begin(), out.end(), [](const ScoreEntry& a, const ScoreEntry& b) { return a.score > b.score; });
    if (out.size() > score_list_size)
        out.resize(score_list_size);
}

}
