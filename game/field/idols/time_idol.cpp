#include "game/field/idols/time_idol.h"

#include <algorithm>
#include <cstdint>

#include "engine/res/skin_path.h"
#include "game/field/field.h"

namespace kq {

TimeIdol::~TimeIdol()
{
    if (m_field)
        m_field->on_meter_changed().disconnect(this);
}

void TimeIdol::read_skin(const SkinPath& path)
{
    Idol::read_skin(path);
    m_freeze.read_skin(path + "freeze");
}

void TimeIdol::attached()
{
    m_field->on_meter_changed().connect([this] { on_meter_changed(); }, this);
}

void TimeIdol::mood_changed(IdolMood old_mood, IdolMood new_mood)
{
    Idol::mood_changed(old_mood, new_mood);
    if (new_mood == IdolMood::good && m_field)
        m_field->add_powerup(Powerup::clock, 1, true);
}

int TimeIdol::drain_rate() const
{
    const int difficulty = std::clamp(m_field->game().difficulty(), 0, 2);
    return m_field->time_difficulty()[std::size_t(difficulty)];
}

bool TimeIdol::drain_eased() const
{
    return m_field->game().eased_drain() && m_field->danger_mode() != DangerMode::none;
}

void TimeIdol::update(int elapsed)
{
    m_field->game().show_tip(StrCache("idol_time"), Vector2<int>{-1, -1});
    if (m_mood == IdolMood::good || m_field->game_state() != GameState::running ||
        m_field->mode() == GameMode::strikes)
        return;
    std::int64_t drain = std::int64_t(drain_rate()) * elapsed * 14 / 100;
    if (drain_eased())
        drain = drain * 50 / 100;
    m_field->add_meter(-int(drain));
}

void TimeIdol::on_meter_changed()
{
    if (!m_mood_locked && m_mood != IdolMood::good && m_field->meter() >= m_field->max_meter())
        lock_good_mood();
}

void TimeIdol::draw(Artist& artist)
{
    Idol::draw(artist);
    if (drain_eased() || m_field->mode() == GameMode::strikes || m_mood == IdolMood::good ||
        drain_rate() <= 0)
        m_freeze.render(artist);
}

}
