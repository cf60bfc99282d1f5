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
    : MapKeyController(other), m_event_name(other.m_event_name)
{
}

void EventController::store(BStream& stream) const
{
    write_u8(stream, event_controller_version);
    KeyController::store(stream);
    write_binary(stream, m_event_name);
    write_u32(stream, static_cast<std::uint32_t>(m_keys.size()));
    for (const auto& [time, value] : m_keys) {
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
    m_keys.clear();
    const std::uint32_t count = read_count(stream, 8);
    for (std::uint32_t i = 0; i < count; ++i) {
        const float time = spline_value::read_time(stream);
        m_keys[time] = static_cast<std::int32_t>(read_u32(stream));
    }
}

void EventController::read_skin(const SkinPath& path)
{
    KeyController::read_skin(path);
    read_interned(path + "event_name", &m_event_name);
    m_keys.clear();
    StringStream text(get_skin_text(path + "events"));
    text.expect("{");
    for (;;) {
        text.check_not_eof();
        if (text.token_is("}"))
            break;
        const float time = spline_value::read_time(text);
        text.expect(",");
        m_keys[time] = to_int(text.read_token());
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
    if (!timer || !timer->is_started() || m_keys.empty())
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
    for (const auto& [time, value] : m_keys)
        if (m_passage.passes(step, time, t))
            passed.push_back(value);
    m_passage.finish(step, t);
    Sprite* owner = sprite();
    for (const std::int32_t value : passed)
        target->set_state(owner, m_event_name, value);
}

bool EventController::to_value(const KeyArray& array, std::int32_t& out) const
{
    if (!array.holds(type_name<int>()) || array.count() == 0)
        return false;
    out = *static_cast<const std::int32_t*>(array.element(0));
    return true;
}

}
