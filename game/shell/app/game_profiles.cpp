#include "game/shell/app/game.h"

#include <algorithm>

#include "engine/host/system/assert.h"
#include "engine/platform/audio.h"
#include "engine/ui/ui.h"
#include "game/shell/progress/score_list.h"

namespace kq {

const Chapter& Game::current_chapter() const
{
    KQ_ASSERT(m_profile);
    const auto chapter = m_chapters.find(m_profile->chapter);
    KQ_ASSERT(chapter != m_chapters.end());
    return chapter->second;
}

const Mission& Game::current_mission() const
{
    const Chapter& chapter = current_chapter();
    const auto mission = chapter.missions.find(m_profile->mission);
    KQ_ASSERT(mission != chapter.missions.end());
    return mission->second;
}

Profile* Game::find_profile(const std::string& name)
{
    const auto found = std::find_if(m_profiles.begin(), m_profiles.end(),
                                    [&](const Profile& profile) { return profile.name == name; });
    return found == m_profiles.end() ? nullptr : &*found;
}

void Game::for_each_profile(const std::function<void(const Profile&)>& visit) const
{
    for (const Profile& profile : m_profiles)
        visit(profile);
}

void Game::build_score_list(std::vector<ScoreEntry>& out) const
{
    kq::build_score_list(m_score_table, m_profiles, out);
}

void Game::record_score()
{
    if (m_profile)
        kq::record_score(m_score_table, m_profile_name, m_profile->score);
}

void Game::select_profile(const std::string& name)
{
    if (name.empty())
        return;
    m_profile_name = name;
    m_profile = find_profile(name);
    if (m_profile) {
        apply_profile_settings();
    } else {
        m_profile = &m_profiles.emplace_back();
        m_profile->name = name;
        capture_profile_settings();
    }
    m_profile_changed.emit();
}

void Game::delete_profile(const std::string& name)
{
    Profile* profile = find_profile(name);
    if (!profile)
        return;
    if (profile == m_profile) {
        m_profile = nullptr;
        m_profile_name.clear();
    }
    m_profiles.remove_if([&](const Profile& p) { return &p == profile; });
}

void Game::apply_profile_settings()
{
    KQ_ASSERT(m_profile);
    if (window().is_fullscreen() != m_profile->fullscreen)
        window().set_fullscreen(m_profile->fullscreen);
    if (ui().hw_cursor() != m_profile->hardware_cursors) {
        ui().set_hw_cursor(m_profile->hardware_cursors);
        ui().update_cursor();
    }
    set_effect_volume(m_profile->effect_volume);
    if (Audio* audio = Audio::instance())
        audio->set_group_volume(m_profile->music_volume, 1);
}

void Game::capture_profile_settings()
{
    KQ_ASSERT(m_profile);
    m_profile->fullscreen = window().is_fullscreen();
    m_profile->hardware_cursors = ui().hw_cursor();
    if (Audio* audio = Audio::instance()) {
        m_profile->effect_volume = audio->group_volume(0);
        m_profile->music_volume = audio->group_volume(1);
    }
    apply_profile_settings();
}

}
