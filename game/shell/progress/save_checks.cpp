#include "game/shell/progress/save_checks.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "engine/base/log.h"
#include "engine/base/tstream.h"

namespace kq {

namespace {

constexpr int max_count = 9999;

// Writes one correction of the profile or entry with the name to the "game" log.
class Corrections
{
public:
    void note(const std::string& owner, const std::string& what)
    {
        get_log("game") << "game.cfg: " << owner.c_str() << ": " << what.c_str() << t_io::endl;
        ++m_count;
    }
    int count() const { return m_count; }

private:
    int m_count = 0;
};

std::string quoted(const std::string& name)
{
    return "profile [" + name + "]";
}

void clamp_int(int& value, int low, int high, const char* field, const std::string& owner, Corrections& log)
{
    const int clamped = std::clamp(value, low, high);
    if (clamped == value)
        return;
    log.note(owner, std::string(field) + " " + std::to_string(value) + " set to " + std::to_string(clamped));
    value = clamped;
}

void clamp_volume(float& volume, const char* field, const std::string& owner, Corrections& log)
{
    const float clamped = std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 0.5f;
    if (clamped == volume)
        return;
    log.note(owner, std::string(field) + " out of range, set to " + std::to_string(clamped));
    volume = clamped;
}

bool progress_in_catalogue(const Profile& profile, const Chapters& chapters)
{
    const auto chapter = chapters.find(profile.chapter);
    return chapter != chapters.end() && chapter->second.missions.count(profile.mission) != 0;
}

void correct_profile(Profile& profile, const Chapters& chapters, Corrections& log)
{
    const std::string owner = quoted(profile.name);
    clamp_int(profile.difficulty, 0, Profile::difficulty_count - 1, "difficulty", owner, log);
    clamp_volume(profile.effect_volume, "effect volume", owner, log);
    clamp_volume(profile.music_volume, "music volume", owner, log);
    if (profile.chapter != 0 && !progress_in_catalogue(profile, chapters)) {
        log.note(owner, "chapter " + std::to_string(profile.chapter) + " mission " + std::to_string(profile.mission) +
                            " is not in the catalogue, the game is ended");
        profile.clear_game();
    }
    clamp_int(profile.lives, 0, max_count, "lives", owner, log);
    for (int& count : profile.powerups)
        clamp_int(count, 0, max_count, "powerup count", owner, log);
    clamp_int(profile.chapter_quality, 0, 100, "chapter quality", owner, log);
    clamp_int(profile.chapter_wins, 0, max_count, "chapter wins", owner, log);
}

// Cleans the name; false when the owner must go for want of a valid name.
bool correct_name(std::string& name, const std::string& owner, Corrections& log)
{
    const std::string cleaned = clean_profile_name(name);
    if (cleaned != name) {
        log.note(owner, "name cleaned to [" + cleaned + "]");
        name = cleaned;
    }
    if (is_valid_profile_name(name))
        return true;
    log.note(owner, "no valid name, dropped");
    return false;
}

void correct_profiles(SaveData& data, const Chapters& chapters, Corrections& log)
{
    std::set<std::string> names;
    for (auto profile = data.profiles.begin(); profile != data.profiles.end();) {
        bool keep = correct_name(profile->name, quoted(profile->name), log);
        if (keep && !names.insert(profile->name).second) {
            log.note(quoted(profile->name), "repeats an earlier name, dropped");
            keep = false;
        }
        if (!keep) {
            profile = data.profiles.erase(profile);
            continue;
        }
        correct_profile(*profile, chapters, log);
        ++profile;
    }
}

void correct_scores(SaveData& data, Corrections& log)
{
    ScoreTable corrected;
    for (const auto& [read_name, score] : data.score_table) {
        std::string name = read_name;
        if (correct_name(name, "score of [" + name + "]", log))
            corrected[name] = score;
    }
    data.score_table = std::move(corrected);
}

}

std::string clean_profile_name(const std::string& name)
{
    std::string cleaned;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte != 127 && cleaned.size() < profile_name_limit)
            cleaned += c;
    }
    return cleaned;
}

bool is_valid_profile_name(const std::string& name)
{
    return std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) > 32; });
}

int correct_save_data(SaveData& data, const Chapters& chapters)
{
    Corrections log;
    correct_profiles(data, chapters, log);
    correct_scores(data, log);
    std::string current = clean_profile_name(data.profile_name);
    if (!is_valid_profile_name(current))
        current.clear();
    if (current != data.profile_name) {
        log.note("current profile [" + data.profile_name + "]", "name set to [" + current + "]");
        data.profile_name = current;
    }
    return log.count();
}

}
