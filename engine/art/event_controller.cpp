#include "engine/art/event_controller.h"

#include <vector>

#include "engine/art/spline_value.h"
#include "engine/art/sprite.h"
#include "engine/base/bstream.h"
#include "engine/base/string_stream.h"
#include "engine/base/string_utils.h"
#include "engine/res/skin.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t event_controller_version = 0;

}

EventController::EventController() : m_event_name("event") {}

EventController::EventController(const EventController& other)
    : KeyController(other), m_event_name(other.m_event_name), m_events(other.m_events)
{
}

void EventController::store(BStream& stream) const
{
    write_u8(stream, event_controller_version);
    KeyController::store(stream);
    write_binary(stream, m_event_name);
    write_u32(stream, static_cast<std::uint32_t>(m_events.size()));
    for (const auto& [time, value] : m_events) {
        spline_value::write_float(stream, time);
        write_u32(stream, static_cast<std::uint32_t>(value));
    }
}

void EventController::load(BStream& stream)
{
    if (read_u8(stream) > event_controller_version)
        stream.error("unsupported version.");
    KeyController::load(stream);
    m_event_name = stream.read_name();
    m_events.clear();
    const std::uint32_t count = read_count(stream, 8);
    for (std::uint32_t i = 0; i < count; ++i) {
        const float time = spline_value::read_time(stream);
        m_events[time] = static_cast<std::int32_t>(read_u32(stream));
    }
}

void EventController::read_skin(const SkinPath& path)
{
    KeyController::read_skin(path);
    read_interned(path + "event_name", &m_event_name);
    m_events.clear();
    StringStream text(get_skin_text(path + "events"));
    text.expect("{");
    for (;;) {
        text.check_not_eof();
        if (text.token_is("}"))
            break;
        const float time = spline_value::read_time(text);
        text.expect(",");
        m_events[time] = to_int(text.read_token());
    }
    text.skip_token();
}

void EventController::start()
{
    m_passage.reset();
    SpriteController::start();
}

void EventController::apply()
{
    const SpriteTimer* timer = find_timer();
    if (!timer || !timer->is_started() || m_events.empty())
        return;
    SpriteLogic* target = logic();
    if (!target)
        return;
    if (m_passage.is_unseen() && timer->random_start())
        m_passage.set_last(timer->coefficient());
    const float t = timer->coefficient();
    const KeyPassage::Step step = m_passage.classify(t);
    // The keys are gathered first: a handler may edit this controller's keys.
    std::vector<std::int32_t> passed;
    for (const auto& [time, value] : m_events)
        if (m_passage.passes(step, time, t))
            passed.push_back(value);
    m_passage.finish(step, t);
    Sprite* owner = sprite();
    for (const std::int32_t value : passed)
        target->set_state(owner, m_event_name, value);
}

void EventController::set_key(float time, const KeyArray& value)
{
    if (value.holds(type_name<int>()) && value.count() > 0)
        m_events[time] = *static_cast<const std::int32_t*>(value.element(0));
}

void EventController::erase_key(float time)
{
    m_events.erase(time);
}

void EventController::clear_keys()
{
    m_events.clear();
    m_passage.reset();
}

void EventController::move_key(float from, float to)
{
    if (from == to)
        return;
    const auto key = m_events.find(from);
    if (key == m_events.end())
        return;
    const std::int32_t value = key->second;
    m_events.erase(key);
    m_events[to] = value;
}

void EventController::key_times(std::set<float>& out) const
{
    for (const auto& key : m_events)
        out.insert(key.first);
}

void EventController::keys(std::map<float, KeyArray>& out) const
{
    out.clear();
    for (const auto& [time, value] : m_events)
        out[time] = KeyArray::of_int(value);
}

int EventController::has_keys() const
{
    return m_events.empty() ? 0 : 1;
}

void EventController::value_at(float time, KeyArray& out) const
{
    const float key = nearest_key_time(time);
    if (key >= 0.0f)
        out = KeyArray::of_int(m_events.at(key));
}

float EventController::nearest_key_time(float time) const
{
    return nearest_key(m_events, time);
}

}
