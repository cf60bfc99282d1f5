#include "game/field/objects/white_cloud.h"

#include "engine/base/math_utils.h"

namespace kq {

namespace {

constexpr float screen_width = 1024.0f;
constexpr float lowest_y = 100.0f;
constexpr float highest_y = 668.0f;

// A draw in [a, b).
float uniform(float a, float b)
{
    return a + random_float(b - a);
}

}

void WhiteCloud::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (!m_body)
        return;
    const float y = uniform(lowest_y, highest_y);
    const float x = uniform(0.0f, screen_width);
    set_position({x, y});
    start_drifting();
}

void WhiteCloud::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    const float half_width = m_size.x / 2.0f;
    if (position().x <= screen_width + half_width)
        return;
    set_position({-half_width, uniform(lowest_y, highest_y)});
    start_drifting();
}

void WhiteCloud::start_drifting()
{
    set_velocity({uniform(m_min_speed, m_max_speed), 0.0f});
}

}
