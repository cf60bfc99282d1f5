// The travel map's layout and drawing: the missions' sprites, flags and trophies, the route's
// dots, the clouds, the haze and the eagle.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "engine/art/motion_controllers.h"
#include "engine/art/sprite_timer.h"
#include "engine/art/time_stamp.h"
#include "engine/base/clock.h"
#include "engine/base/clone.h"
#include "engine/base/math_utils.h"
#include "engine/platform/artist.h"
#include "engine/res/skin_prototypes.h"
#include "game/shell/app/game.h"
#include "game/shell/screens/progress_frame.h"

namespace kq {

namespace {

Game& game()
{
    return *Game::instance();
}

const Profile& profile()
{
    return *game().m_profile;
}

/// Dots of the route keep clear of the missions by this distance.
constexpr float route_margin = 20.0f;

}

void ProgressFrame::build_map(bool completed_now)
{
    const Profile& player = profile();
    m_map.clear_children();
    for (const auto& [number, chapter] : game().m_chapters) {
        // The academy shows itself alone; the campaign's map leaves it out.
        if (player.chapter == 1 && number >= 2)
            break;
        if (player.chapter != 1 && number == 1)
            continue;
        if (number > player.chapter)
            break;
        for (const auto& [mission_number, mission] : chapter.missions)
            add_map_sprites(number, mission_number, completed_now);
        update_trophy(number);
    }
    show_record();
    m_progress.set_quality(player.chapter_quality, game().current_chapter().quality_target);
    game().save();
}

void ProgressFrame::add_map_sprites(int chapter, int mission_number, bool completed_now)
{
    const Profile& player = profile();
    const Mission& mission = game().m_chapters.at(chapter).missions.at(mission_number);
    const bool current = chapter == player.chapter && mission_number == player.mission;
    const bool reached = chapter < player.chapter || mission_number <= player.mission;
    const bool shown_later = current && mission.map_sprite_post && !player.pre_events_shown;
    if (mission.map_sprite && reached && !shown_later)
        m_map.add_child(SharedPtr<Sprite>(rtti::clone(mission.map_sprite.get())));
    if (player.chapter == 1)
        return;
    const bool completed = chapter < player.chapter || (chapter == player.chapter && mission_number < player.mission) ||
                           (current && completed_now);
    SharedPtr<Sprite> flag(clone_resource<Sprite, Sprite>(path() + "travel" + (completed ? "completed" : "pending")));
    if (!flag)
        return;
    flag->set_position(mission.position);
    m_map.add_child(flag);
}

void ProgressFrame::update_trophy(int chapter)
{
    const Profile& player = profile();
    const Chapter& record = game().m_chapters.at(chapter);
    // The profile keeps trophies for chapters 0 to 7 only.
    const bool held = chapter >= 0 && chapter < int(player.trophies.size()) && player.trophies[std::size_t(chapter)];
    const auto found = m_trophies.find(chapter);
    if (found == m_trophies.end()) {
        if (record.trophy && held)
            m_trophies[chapter] = SharedPtr<Sprite>(rtti::clone(record.trophy.get()));
    } else if (!held) {
        m_trophies.erase(found);
    }
}

void ProgressFrame::show_record()
{
    const Profile& player = profile();
    FieldSettings record;
    record.values = {player.lives, player.score};
    record.m_powerups = player.powerups;
    m_top.set_record(record, true);
}

ImageSprite& ProgressFrame::add_cloud()
{
    ImageSprite& cloud = m_clouds.emplace_back();
    cloud.read_skin(SkinPath("effects.map_cloud"));
    const float scale = 0.2f + random_float(0.8f);
    const Vector2<float> size = cloud.size() * scale;
    cloud.set_size(size);
    cloud.set_pivot(size / 2.0f);
    // Just left of the map, so that it drifts in.
    const int width = int(std::lround(size.x));
    cloud.set_position(Vector2<float>{float(map_rect.x - width / 2), float(187 + random_int(621))});
    if (MoveController* move = cloud.find_child<MoveController>()) {
        const float speed = 6.0f + random_float(6.0f);
        move->set_velocity(Vector2<float>{1.0f, -0.1f}.with_length(speed));
    }
    cloud.set_color(Color{1, 1, 1, 0.2f + random_float(0.4f)});
    return cloud;
}

void ProgressFrame::get_view_flags(Sprite* sprite, std::uint32_t& mask, std::uint32_t& flags) const
{
    Frame::get_view_flags(sprite, mask, flags);
    mask |= 0x100;
    if (profile().chapter != 1)
        flags |= 0x100;
}

void ProgressFrame::draw(Artist& artist)
{
    Frame::draw(artist);
    const std::int32_t now = std::int32_t(time_ms());
    const TimeStamp stamp{TimeStamp::millisecond_clock, now, nullptr};
    const bool academy = profile().chapter == 1;
    artist.push_scissor(map_rect);
    if (!academy)
        draw_route(artist);
    m_map.tick(stamp);
    m_map.render(artist);
    for (auto& [chapter, trophy] : m_trophies) {
        trophy->tick(stamp);
        trophy->render(artist);
    }
    if (!academy) {
        m_flag.render(artist);
        draw_clouds(artist, now);
        draw_haze(artist);
        draw_eagle(artist, now);
    }
    artist.pop_scissor();
}

void ProgressFrame::draw_route(Artist& artist)
{
    // Only between chapters: from past the last mission of the chapter before to short of the
    // chapter's first mission, and no further than the flag.
    const Chapters& chapters = game().m_chapters;
    const int current = profile().chapter;
    const float spacing = m_path_step.size().x - 3.0f;
    SharedPtr<TravelPath::Tracker> tracker = game().m_travel_path.create_tracker();
    for (auto it = chapters.begin(); it != chapters.end(); ++it) {
        const auto& [number, chapter] = *it;
        if (number <= 2)
            continue;
        if (number > current)
            break;
        const auto first = chapter.missions.find(1);
        const Chapter& before = std::prev(it)->second;
        if (first == chapter.missions.end() || before.missions.empty())
            continue;
        const float start = before.missions.rbegin()->second.distance + route_margin;
        const float end = std::min(first->second.distance - route_margin, m_distance);
        tracker->set_time(start);
        Vector2<float> p = tracker->value();
        do {
            tracker->advance(1.0f);
            const Vector2<float> q = tracker->value();
            if (Vector2<float>::distance(p, q) >= spacing) {
                m_path_step.set_position(Vector2<float>{(p.x + q.x) / 2.0f, (p.y + q.y) / 2.0f});
                m_path_step.set_rotation(std::atan2(q.y - p.y, q.x - p.x));
                m_path_step.render(artist);
                p = q;
            }
        } while (tracker->time() < end);
    }
}

void ProgressFrame::draw_clouds(Artist& artist, std::int32_t now)
{
    if (m_last_draw == -1)
        m_last_draw = now;
    const int dt = now - m_last_draw;
    m_last_draw = now;
    // A long pause between draws does not release a burst of clouds.
    m_cloud_time += std::min(dt, 100);
    const int period = game().current_chapter().cloud_appear_period;
    if (random_int(m_cloud_time) >= period) {
        m_cloud_time -= period;
        add_cloud();
    }
    const TimeStamp stamp{TimeStamp::millisecond_clock, now, nullptr};
    for (auto it = m_clouds.begin(); it != m_clouds.end();) {
        it->tick(stamp);
        it->render(artist);
        const Vector2<float> at = it->position();
        const Vector2<float> pivot = it->pivot();
        const Vector2<float> size = it->size();
        const int left = std::max(int(at.x - pivot.x), map_rect.x);
        const int top = std::max(int(at.y - pivot.y), map_rect.y);
        const int right = std::min(int(at.x - pivot.x) + int(size.x), map_rect.x + map_rect.w);
        const int bottom = std::min(int(at.y - pivot.y) + int(size.y), map_rect.y + map_rect.h);
        if (right > left && bottom > top)
            ++it;
        else
            it = m_clouds.erase(it);
    }
}

void ProgressFrame::draw_haze(Artist& artist)
{
    m_haze_alpha += (game().current_chapter().haze_level - m_haze_alpha) * 0.001f;
    const Color& shown = m_haze.color();
    const Color wanted{1, 1, 1, m_haze_alpha};
    if (std::fabs(shown.r - wanted.r) >= FLT_EPSILON || std::fabs(shown.g - wanted.g) >= FLT_EPSILON ||
        std::fabs(shown.b - wanted.b) >= FLT_EPSILON || std::fabs(shown.a - wanted.a) >= FLT_EPSILON)
        m_haze.set_color(wanted);
    m_haze.render(artist);
}

void ProgressFrame::draw_eagle(Artist& artist, std::int32_t now)
{
    const float t = float(now) / 1000.0f;
    const Vector2<float> place{m_eagle_home.x + 10.0f * std::sin(t / 7.0f), m_eagle_home.y + 5.0f * std::sin(t)};
    if (place != m_eagle.position())
        m_eagle.set_position(place);
    const float rotation = 0.1f * std::sin(0.1f * t);
    if (rotation != m_eagle.rotation())
        m_eagle.set_rotation(rotation);
    m_eagle.render(artist);
}

}
