#include "game/shell/progress/profile.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/host/system/assert.h"

namespace kq {

namespace {

// Costs beyond what an int holds stand at the largest int.
int clamp_to_int(std::int64_t value)
{
    return static_cast<int>(std::min<std::int64_t>(value, INT_MAX));
}

}

int Profile::percent_of(int difficulty)
{
    switch (difficulty) {
    case 1:
        return 150;
    case 2:
        return 200;
    default:
        return 100;
    }
}

int Profile::step_cost(int n, int difficulty)
{
    if (n < 1)
        return 0;
    return clamp_to_int((30000 * std::int64_t(n) + 20000) * percent_of(difficulty) / 100);
}

int Profile::total_cost(int n, int difficulty)
{
    std::int64_t total = 0;
    for (int i = 1; i <= n && total < INT_MAX; ++i)
        total += step_cost(i, difficulty);
    return clamp_to_int(total);
}

int Profile::level_from_value(int value, int difficulty)
{
    std::int64_t rest = value;
    int k = 0;
    do {
        ++k;
        rest -= step_cost(k, difficulty);
    } while (rest >= 0);
    return k - 1;
}

bool Profile::has_trophy(int chapter_number) const
{
    return chapter_number >= first_trophy_chapter && chapter_number <= last_trophy_chapter &&
           trophies[static_cast<std::size_t>(chapter_number)];
}

bool Profile::check_condition(Condition condition) const
{
    switch (condition) {
    case Condition::always:
        return true;
    case Condition::never:
        return false;
    case Condition::has_trophy:
        return has_trophy(chapter);
    case Condition::has_not_trophy:
        return !has_trophy(chapter);
    }
    log_error("Unimplemented code reached.", source_file_name(__FILE__), __LINE__);
    return false;
}

void Profile::new_game(int new_difficulty, ScoreTable& scores)
{
    if (has_game())
        finish_game(scores);
    difficulty = new_difficulty;
    chapter = 1;
    start_chapter();
}

void Profile::restart_chapter(ScoreTable& scores)
{
    const int restarted = chapter;
    if (has_game())
        finish_game(scores);
    chapter = restarted;
    start_chapter();
}

void Profile::advance_mission(const Chapters& chapters, ScoreTable& scores)
{
    const auto current = chapters.find(chapter);
    KQ_ASSERT(current != chapters.end());
    ++mission;
    fresh = false;
    if (mission > static_cast<int>(current->second.missions.size())) {
        if (chapter < static_cast<int>(chapters.size())) {
            ++chapter;
            start_chapter();
        } else {
            finish_game(scores);
        }
    }
    pre_events_shown = false;
}

void Profile::finish_game(ScoreTable& scores)
{
    if (score > 0)
        record_score(scores, name, score);
    clear_game();
}

void Profile::start_chapter()
{
    pre_events_shown = false;
    chapter_quality = 0;
    chapter_wins = 0;
    mission = 1;
    lives = std::max(lives, has_trophy(lives_trophy_chapter) ? 3 : 2);
}

void Profile::clear_game()
{
    score = 0;
    lives = 2;
    powerups.fill(0);
    chapter = 0;
    trophies.fill(false);
}

void Profile::add_mission_quality(int quality)
{
    const std::int64_t sum = std::int64_t(chapter_quality) * chapter_wins + quality;
    chapter_quality = static_cast<int>(sum / (std::int64_t(chapter_wins) + 1));
    ++chapter_wins;
}

bool Profile::award_trophy(GameState outcome, const Chapter& current)
{
    const bool earned = (outcome == GameState::win || outcome == GameState::skip) &&
                        chapter >= first_trophy_chapter && chapter <= last_trophy_chapter &&
                        mission == static_cast<int>(current.missions.size()) &&
                        chapter_quality >= current.quality_target;
    if (earned)
        trophies[static_cast<std::size_t>(chapter)] = true;
    return earned;
}

}
