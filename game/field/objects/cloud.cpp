#include "game/field/objects/cloud.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "engine/base/math_utils.h"
#include "engine/platform/audio.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"

namespace kq {

namespace {

constexpr float epsilon = 1.1920929e-07f;
constexpr int fade_time = 2000;
constexpr float drift_force = 12000.0f;
constexpr float near_distance = 100.0f;

}

void Cloud::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    const SkinPath& node = skin_path();
    m_appear_sample.read_name_from_skin(node + "appear_sample");
    read_skin_value(node + "life", &m_life);
}

Vector2<float> Cloud::scale() const
{
    const Vector2<float> s = Item::scale();
    if (!m_field)
        return s;
    const float breath = 0.02f * std::sin(0.002f * float(m_field->field_time()));
    return {s.x * (1.0f + breath), s.y * (1.0f - breath)};
}

float Cloud::opacity() const
{
    const float o = Item::opacity();
    if (m_fade_start == -1 || !m_field)
        return o;
    const float faded = std::clamp(float(m_field->field_time() - m_fade_start) * 0.0005f, 0.0f, 1.0f);
    return o * (1.0f - faded);
}

void Cloud::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (!m_body)
        return;
    const float pan = Audio::instance() ? Audio::instance()->pan_for_x(body_position().x) : 0.0f;
    m_sound.play(m_appear_sample.get(), false, pan, 1.0f, 0);
    m_fade_start = -1;
    m_turns_lived = 0;
    pick_target();
}

void Cloud::pick_target()
{
    const auto& pieces = m_field->pieces();
    if (pieces.empty())
        return;
    const Vector2<float> centre = position();
    // The weight of each piece in the map's order; 0 for one on the cloud's centre.
    std::vector<float> weights;
    weights.reserve(pieces.size());
    float sum = 0.0f;
    for (const auto& [gen, piece] : pieces) {
        const float d = Vector2<float>::distance(piece->position(), centre);
        weights.push_back(std::abs(d) < epsilon ? 0.0f : 1.0f / d);
        sum += weights.back();
    }
    float x = random_float(sum);
    Item* chosen = std::prev(pieces.end())->second;
    std::size_t i = 0;
    for (const auto& [gen, piece] : pieces) {
        const float weight = weights[i++];
        if (weight == 0.0f)
            continue;
        x -= weight;
        if (x <= 0.0f) {
            chosen = piece;
            break;
        }
    }
    m_target = WeakPtr<Item>(chosen);
}

void Cloud::on_turn_end()
{
    Item::on_turn_end();
    ++m_turns_lived;
    if (m_turns_lived >= m_life && m_fade_start == -1)
        m_fade_start = m_field->field_time();
    pick_target();
}

void Cloud::update(int dt)
{
    Item::update(dt);
    if (!m_body)
        return;
    if (m_fade_start != -1 && m_fade_start + fade_time < m_field->field_time()) {
        remove();
        return;
    }
    const Item* target = m_target.get();
    if (!target || !target->body()) {
        pick_target();
        return;
    }
    const Vector2<float> v = target->position() - position();
    if (v.length() >= near_distance)
        apply_central_force(v.with_length(drift_force));
}

}
