#include "game/shell/campaign_status.h"

#include <algorithm>

#include "game/shell/profile.h"

namespace kq {

std::string mission_line(const Chapter& chapter, int mission)
{
    return chapter.name + " " + std::to_string(mission) + " / " + std::to_string(chapter.missions.size());
}

float upgrade_fraction(int score, int difficulty)
{
    const int level = Profile::level_from_value(score, difficulty);
    const double low = Profile::total_cost(level, difficulty);
    const double high = Profile::total_cost(level + 1, difficulty);
    if (high <= low)
        return 0.0f;
    return float(std::clamp((double(score) - low) / (high - low), 0.0, 1.0));
}

std::string current_mission_line()
{
    return std::string();
}

int current_difficulty()
{
    return 0;
}

}
