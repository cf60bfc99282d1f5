#pragma once

#include <array>
#include <list>
#include <set>
#include <string>

#include "engine/base/str_cache.h"
#include "game/field/field_enums.h"
#include "game/shell/progress/chapter.h"
#include "game/shell/progress/score_entry.h"

namespace kq {

/// One player: a name, the player's settings and the game in progress. The game keeps every
/// profile in a list and points at the current one; the save file stores them. None of the
/// operations saves: their callers save afterwards.
class Profile
{
public:
    /// The difficulties: an index into the upgrade percentages 100, 150 and 200.
    static constexpr int difficulty_count = 3;
    /// Chapters that can win a trophy (the trophy flags are indexed by chapter number).
    static constexpr int first_trophy_chapter = 2;
    static constexpr int last_trophy_chapter = 7;
    /// The chapter whose trophy raises the lives a chapter starts with from 2 to 3.
    static constexpr int lives_trophy_chapter = 5;

    /// The upgrade percentage of a difficulty (100, 150, 200; 100 for any other value).
    static int percent_of(int difficulty);
    /// The cost of upgrade step n (from 1) at the difficulty; 0 for n below 1.
    static int step_cost(int n, int difficulty);
    /// The cost of steps 1 to n together; 0 for n below 1.
    static int total_cost(int n, int difficulty);
    /// The number of whole steps a value pays for: the largest k whose total cost is at most
    /// the value (0 for any value below the first step's cost).
    static int level_from_value(int value, int difficulty);

    /// The upgrade percentage of this profile's difficulty.
    int percent() const { return percent_of(difficulty); }
    /// Whether a game is in progress.
    bool has_game() const { return chapter > 0; }
    /// Whether the trophy of the chapter (2 to 7) is won; false for any other chapter.
    bool has_trophy(int chapter_number) const;
    /// Whether a mission event's condition holds in the current chapter; an unknown
    /// condition is logged as an error and does not hold.
    bool check_condition(Condition condition) const;

    /// Starts a new game at the first mission of chapter 1 with the difficulty, after
    /// finishing the game in progress (its score goes to the table).
    void new_game(int new_difficulty, ScoreTable& scores);
    /// Finishes the game in progress and starts its chapter again from its first mission.
    void restart_chapter(ScoreTable& scores);
    /// Moves on after the current mission was completed: the next mission, the first of the
    /// next chapter, or at the end of the last chapter the end of the game. The current
    /// chapter must be in the catalogue.
    void advance_mission(const Chapters& chapters, ScoreTable& scores);
    /// Records a score above 0 under the profile's name, then clears the game in progress;
    /// the mission, difficulty, chapter quality and settings stay.
    void finish_game(ScoreTable& scores);
    /// Resets the values of a chapter about to start at its first mission; the lives rise to
    /// at least 2, or 3 with the trophy of chapter 5.
    void start_chapter();
    /// Clears the game in progress without recording its score (as `finish_game` does after
    /// recording it).
    void clear_game();
    /// Adds a won mission's quality percentage to the chapter's average.
    void add_mission_quality(int quality);
    /// Gives the current chapter's trophy when the mission that just ended with the outcome
    /// earns it: a win or a skip of the last mission of chapter 2 to 7 with the chapter's
    /// average quality at least its target. True when it did.
    bool award_trophy(GameState outcome, const Chapter& current);

    /// Every field equal.
    friend bool operator==(const Profile&, const Profile&) = default;

    std::string name;
    bool fullscreen = true;
    bool hardware_cursors = true;
    bool effects = true;
    bool tips = true;
    float effect_volume = 0.5f;
    float music_volume = 0.5f;
    int difficulty = 0;
    /// Cleared when the player completes a mission.
    bool fresh = true;
    /// Chapter of the game in progress, from 1; 0 when none is.
    int chapter = 0;
    /// Mission inside the chapter, from 1.
    int mission = 0;
    /// The travel map has shown the current mission's pre-events.
    bool pre_events_shown = false;
    /// The tips this player has seen.
    std::set<StrCache> shown_tips;
    /// Average quality percentage of the missions won in the current chapter.
    int chapter_quality = 0;
    /// Missions won in the current chapter: the weight of that average.
    int chapter_wins = 0;
    /// Trophy won, by chapter number 0 to 7.
    std::array<bool, 8> trophies{};
    // The game record, handed to the playing field for a mission.
    int lives = 0;
    int score = 0;
    /// Counts of coin, clock, hand, fireball and bolt.
    std::array<int, 5> powerups{};
};

/// Every profile, in creation order; elements stay where they are while others come and go.
using Profiles = std::list<Profile>;

}
