#pragma once

#include <cstdint>
#include <map>

#include "engine/art/key_controller.h"
#include "engine/art/key_passage.h"
#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"

namespace kq {

/// Posts events to its sprite's logic as the timer's coefficient passes its keys: each key
/// holds a value, and passing it sets the state field of the event name to that value (when
/// the logic has one) and emits the logic's signal. Copes with looping and ping-pong timers.
class EventController : public KeyController
{
public:
    /// Event name "event", no keys.
    EventController();
    /// Copies the flags, the name and the keys; the copy has seen nothing.
    EventController(const EventController& other);

    /// Version 0: the key controller form, the event name, the u32 count and per key its f32
    /// time and i32 value.
    void store(BStream& stream) const override;
    /// Reads version 0; the keys are replaced.
    void load(BStream& stream) override;
    /// The controller keys, then "event_name" and "events" ("{" entries "time, value" "}").
    void read_skin(const SkinPath& path) override;

    /// Forgets what was seen, then starts as a controller does (which applies).
    void start() override;
    /// Posts the events of the keys passed since the last apply.
    void apply() override;

    /// The key at t takes the first element of an "int" array; any other array sets nothing.
    void set_key(float time, const KeyArray& value) override;
    void erase_key(float time) override;
    /// Removes every key and forgets what was seen.
    void clear_keys() override;
    void move_key(float from, float to) override;
    void key_times(std::set<float>& out) const override;
    void keys(std::map<float, KeyArray>& out) const override;
    int has_keys() const override;
    void value_at(float time, KeyArray& out) const override;
    float nearest_key_time(float time) const override;

    StrCache event_name() const { return m_event_name; }
    void set_event_name(StrCache name) { m_event_name = name; }
    const std::map<float, std::int32_t>& events() const { return m_events; }
    const KeyPassage& passage() const { return m_passage; }

private:
    StrCache m_event_name;
    std::map<float, std::int32_t> m_events;
    KeyPassage m_passage;
};

}

KQ_TYPE_NAME(kq::EventController, "class kq::EventController");
