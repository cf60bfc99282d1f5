#include "game/shell/play/campaign_status.h"

#include <algorithm>

#include "game/shell/app/game.h"
#include "game/shell/progress/profile.h"

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
    const Game* game = Game::instance();
    if (!game || !game->m_profile || !game->m_profile->has_game())
        return std::string();
    const auto chapter = game->m_chapters.find(game->m_profile->chapter);
    if (chapter == game->m_chapters.end())
        return std::string();
    return mission_line(chapter->second, game->m_profile->mission);
}

int current_difficulty()
{
    const Game* game = Game::instance();
    return game && game->m_profile ? game->m_profile->difficulty : 0;
}

}
