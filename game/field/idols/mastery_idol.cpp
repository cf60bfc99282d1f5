#include "game/field/idols/mastery_idol.h"

#include <algorithm>
#include <cstdint>

#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"

namespace kq {

namespace {

// Turns whose points count toward the mastery, the current one included.
constexpr std::size_t window_turns = 10;
// The gauge moves at most this much a millisecond.
constexpr float fill_speed = 0.0003f;
// The gauge never shows less of the sword.
constexpr float least_fill = 0.01f;

}

void MasteryIdol::read_skin(const SkinPath& path)
{
    Idol::read_skin(path);
    read_skin_value(path + "target_mastery", &m_target_mastery);
    m_sword.read_skin(path + "sword");
    m_sword_scale = m_sword.scale();
}

void MasteryIdol::attached()
{
    m_turn_points.clear();
    m_mastery = 0.0f;
    m_fill = 0.0f;
}

void MasteryIdol::add_mastery(int points)
{
    if (m_turn_points.empty())
        m_turn_points.push_back(0);
    m_turn_points.back() += points;
}

void MasteryIdol::turn_end()
{
    if (m_field)
        m_field->game().show_tip(StrCache("idol_mastery"), Vector2<int>{-1, -1});
    std::uint32_t sum = 0;
    for (const int points : m_turn_points)
        sum += std::uint32_t(points);
    // Always a tenth, however few turns have been played.
    m_mastery = float(sum) * 0.1f;
    if (!m_mood_locked && m_mastery >= m_target_mastery) {
        lock_good_mood();
        if (m_field)
            m_field->add_powerup(Powerup::bolt, 1, true);
    }
    m_turn_points.push_back(0);
    if (m_turn_points.size() > window_turns)
        m_turn_points.pop_front();
}

void MasteryIdol::update(int elapsed)
{
    float target = 1.0f;
    if (m_mood != IdolMood::good && m_target_mastery > 0.0f)
        target = m_mastery / m_target_mastery;
    const float step = float(elapsed) * fill_speed;
    m_fill += std::clamp(target - m_fill, -step, step);
    m_fill = std::clamp(m_fill, least_fill, 1.0f);
}

void MasteryIdol::draw(Artist& artist)
{
    Idol::draw(artist);
    m_sword.set_scale({m_sword_scale.x * m_fill, m_sword_scale.y});
    m_sword.render(artist);
}

}
