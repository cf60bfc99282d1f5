#include "game/shell/play/profile_field_game.h"

#include "game/shell/app/game.h"
#include "game/shell/play/area_point.h"
#include "game/shell/progress/profile.h"

namespace kq {

const Profile* ProfileFieldGame::profile() const
{
    return m_game ? m_game->m_profile : m_profile;
}

Vector2<float> ProfileFieldGame::pick_area_point(const std::vector<Rect>& areas)
{
    return kq::pick_area_point(areas);
}

void ProfileFieldGame::show_tip(StrCache name, const Vector2<int>& point)
{
    if (!m_game)
        return;
    if (m_aim_held) {
        // The field asks for some tips every frame: each waits once.
        for (const WaitingTip& tip : m_waiting_tips)
            if (tip.name == name)
                return;
        m_waiting_tips.push_back({name, point});
    } else
        m_game->show_tip(name, point);
}

void ProfileFieldGame::set_aim_held(bool held)
{
    m_aim_held = held;
    if (held || !m_game)
        return;
    std::vector<WaitingTip> waiting;
    waiting.swap(m_waiting_tips);
    for (const WaitingTip& tip : waiting)
        m_game->show_tip(tip.name, tip.point);
}

int ProfileFieldGame::difficulty() const
{
    const Profile* current = profile();
    if (!current || current->difficulty < 0 || current->difficulty >= Profile::difficulty_count)
        return 0;
    return current->difficulty;
}

bool ProfileFieldGame::effects_on() const
{
    const Profile* current = profile();
    return !current || current->effects;
}

int ProfileFieldGame::level_from_value(int progress) const
{
    return Profile::level_from_value(progress, difficulty());
}

bool ProfileFieldGame::has_trophy(int index) const
{
    const Profile* current = profile();
    return current && index >= 0 && index < int(current->trophies.size()) && current->trophies[std::size_t(index)];
}

}
