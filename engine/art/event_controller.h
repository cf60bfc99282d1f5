#pragma once

#include <cstdint>
#include <map>

#include "engine/art/key_controller.h"
#include "engine/art/key_passage.h"
#include "engine/art/map_key_controller.h"
#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"

namespace kq {

/// Posts events to its sprite's logic as the timer's coefficient passes its keys: each key
/// holds a value, and passing it sets the state field of the event name to that value (when
/// the logic has one) and emits the logic's signal. Copes with looping and ping-pong timers.
class EventController : public MapKeyController<KeyController, std::int32_t>
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

    StrCache event_name() const { return m_event_name; }
    void set_event_name(StrCache name) { m_event_name = name; }
    const std::map<float, std::int32_t>& events() const { return m_keys; }
    const KeyPassage& passage() const { return m_passage; }

protected:
    /// The first element of an "int" array; any other array sets nothing.
    bool to_value(const KeyArray& array, std::int32_t& out) const override;
    KeyArray to_array(const std::int32_t& value) const override { return KeyArray::of_int(value); }
    /// Forgets what was seen.
    void keys_cleared() override { m_passage.reset(); }

private:
    StrCache m_event_name;
    KeyPassage m_passage;
};

}

KQ_TYPE_NAME(kq::EventController, "class kq::EventController");
