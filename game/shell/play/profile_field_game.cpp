#include "game/shell/play/profile_field_game.h"

#include "game/shell/app/game.h"
#include "game/shell/play/area_point.h"

namespace kq {

Vector2<float> ProfileFieldGame::pick_area_point(const std::vector<Rect>& areas)
{
    return kq::pick_area_point(areas);
}

void ProfileFieldGame::show_tip(StrCache name, const Vector2<int>& point)
{
    if (m_aim_held) {
        // The field asks for some tips every frame: each waits once.
        for (const WaitingTip& tip : m_waiting_tips)
            if (tip.name == name)
                return;
        m_waiting_tips.push_back({name, point});
    } else
        m_game.show_tip(name, point);
}

void ProfileFieldGame::set_aim_held(bool held)
{
    m_aim_held = held;
    if (held)
        return;
    std::vector<WaitingTip> waiting;
    waiting.swap(m_waiting_tips);
    for (const WaitingTip& tip : waiting)
        m_game.show_tip(tip.name, tip.point);
}

int ProfileFieldGame::difficulty() const
{
    const Profile* profile = m_game.m_profile;
    if (!profile || profile->difficulty < 0 || profile->difficulty >= Profile::difficulty_count)
        return 0;
    return profile->difficulty;
}

bool ProfileFieldGame::effects_on() const
{
    return !m_game.m_profile || m_game.m_profile->effects;
}

int ProfileFieldGame::level_from_value(int progress) const
{
    return Profile::level_from_value(progress, difficulty());
}

bool ProfileFieldGame::has_trophy(int index) const
{
    const Profile* profile = m_game.m_profile;
    return profile && index >= 0 && index < int(profile->trophies.size()) && profile->trophies[std::size_t(index)];
}

}
