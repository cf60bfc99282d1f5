// Reads any input as the binary form of a key controller, then runs what was read on an image
// sprite with a logic under a looping timer, edits its keys and stores it. The first byte picks
// the kind. Stream and reflection errors are expected exceptions; anything else (a crash, a
// hang, a sanitizer report, a stored form that does not read back to the same bytes) is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/art/art_types.h"
#include "engine/art/effect_controller.h"
#include "engine/art/event_controller.h"
#include "engine/art/image_sprite.h"
#include "engine/art/key_controller_map.h"
#include "engine/art/key_controller_spline.h"
#include "engine/base/base_types.h"
#include "engine/base/bstream.h"
#include "engine/base/clone.h"
#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_types.h"

namespace kq::fuzz {

template <class C>
std::string stored(const C& controller)
{
    StringBuffer buffer;
    BStream stream(buffer);
    controller.store(stream);
    return buffer.str();
}

// Attaches the controller to a sprite and runs a few updates across the timer's wrap, then
// asks and edits its keys.
void exercise(const SharedPtr<KeyController>& controller)
{
    SharedPtr<ImageSprite> sprite(new ImageSprite);
    sprite->set_logic(new SpriteLogic);
    auto* timer = new SpriteTimer;
    timer->set_period(100);
    timer->set_cyclic(SpriteTimer::Cyclic::pingpong);
    sprite->set_timer(timer);
    sprite->add_controller(controller);
    for (const std::int32_t time : {0, 30, 60, 95, 130, 210, 260})
        sprite->tick(TimeStamp{TimeStamp::millisecond_clock, time, nullptr});
    std::map<float, KeyArray> keys;
    controller->keys(keys);
    std::set<float> times;
    controller->key_times(times);
    KeyArray value;
    controller->value_at(0.5f, value);
    controller->nearest_key_time(0.5f);
    if (auto* property = dynamic_cast<SCProperty*>(controller.get()))
        for (int n = -1; n < 3; ++n)
            property->split_component(n);
    if (!keys.empty()) {
        controller->move_key(keys.begin()->first, 0.25f);
        controller->set_key(0.75f, keys.rbegin()->second);
        controller->erase_key(0.25f);
    }
    sprite->tick(TimeStamp{TimeStamp::millisecond_clock, 300, nullptr});
    controller->clear_keys();
    sprite->remove_controller(controller.get());
}

// The own form is read into an object no handle holds (reading takes the count block the
// stream names); a clone of what was read is then run.
template <class C>
void read_own_form(const std::string& input)
{
    C loaded;
    bool whole = true;
    try {
        StringBuffer buffer(input);
        BStream stream(buffer);
        loaded.load(stream);
    } catch (const Exception&) {
        whole = false;
    }
    if (whole) {
        const std::string bytes = stored(loaded);
        C again;
        StringBuffer buffer(bytes);
        BStream stream(buffer);
        again.load(stream);
        if (stored(again) != bytes)
            std::abort();
    }
    try {
        exercise(SharedPtr<KeyController>(rtti::clone(&loaded)));
    } catch (const Exception&) {
    }
}

// A controller met as a polymorphic reference, created by its registered name.
void read_object(const std::string& input)
{
    try {
        StringBuffer buffer(input);
        BStream stream(buffer);
        SharedPtr<KeyController> controller;
        read_binary(stream, controller);
        if (controller)
            exercise(controller);
    } catch (const Exception&) {
    }
}

void register_types()
{
    static const bool registered = [] {
        register_base_types();
        register_res_types();
        register_platform_types();
        register_art_types();
        return true;
    }();
    (void)registered;
}

KeyArray array_of(const char* text)
{
    StringStream stream(text);
    KeyArray array;
    array.read_text(stream);
    return array;
}

// Controllers with keys as the writers make them: random bytes rarely get past the version
// bytes, so the fuzzer starts from these and mutates them. Each is prefixed by its kind byte.
std::vector<std::string> seed_inputs()
{
    SCKSpline spline;
    spline.set_property_id(1000);
    spline.set_spline_type(SCKSpline::SplineType::curve);
    spline.set_key(0.0f, array_of("float {1 2}"));
    spline.set_key(1.0f, array_of("float {3 4 5}"));
    spline.set_chaos(0.25f, 0.5f);
    spline.set_additive(true);
    spline.set_aspiration(50);
    SCKMap map;
    map.set_property_id(2000);
    map.set_key(0.0f, array_of("texture_resh {\"a.png\" 0}"));
    map.set_key(0.5f, array_of("float {1 2}"));
    EventController events;
    events.set_key(0.0f, KeyArray::of_int(1));
    events.set_key(0.5f, KeyArray::of_int(2));
    EffectController effect;
    effect.effect().set_path("spark.spr");
    effect.set_key(0.5f, KeyArray());
    effect.set_recursive(true);

    std::vector<std::string> inputs;
    const auto own = [&inputs](char kind, const KeyController& controller) {
        inputs.push_back(kind + stored(controller));
    };
    own(0, spline);
    own(1, map);
    own(2, events);
    own(3, effect);
    StringBuffer buffer;
    {
        BStream stream(buffer);
        write_binary(stream, SharedPtr<KeyController>(new SCKMap(map)));
    }
    inputs.push_back(char(4) + buffer.str());
    return inputs;
}

}

// An empty corpus folder named on the command line is first given the seed inputs.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    kq::fuzz::register_types();
    for (int i = 1; i < *argc; ++i) {
        const std::filesystem::path folder = (*argv)[i];
        std::error_code error;
        if ((*argv)[i][0] == '-' || !std::filesystem::is_directory(folder, error) ||
            !std::filesystem::is_empty(folder, error))
            continue;
        int number = 0;
        for (const std::string& input : kq::fuzz::seed_inputs())
            std::ofstream(folder / ("seed_" + std::to_string(number++)), std::ios::binary) << input;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kq;
    fuzz::register_types();
    if (size == 0)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 5) {
    case 0: fuzz::read_own_form<SCKSpline>(input); break;
    case 1: fuzz::read_own_form<SCKMap>(input); break;
    case 2: fuzz::read_own_form<EventController>(input); break;
    case 3: fuzz::read_own_form<EffectController>(input); break;
    default: fuzz::read_object(input); break;
    }
    return 0;
}
