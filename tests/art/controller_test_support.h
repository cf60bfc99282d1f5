#pragma once

// A sprite driven by a fake millisecond clock, for the controller tests.
#include <cstdint>

#include "engine/art/sprite.h"
#include "engine/art/sprite_controller.h"
#include "engine/art/sprite_timer.h"

namespace kq::test {

/// A sprite with a timer of its own (linear law) whose controllers take their time from it;
/// `at` ticks the sprite at a time of the fake clock.
struct ControllerRig
{
    explicit ControllerRig(std::int32_t period = 1000, SpriteTimer::Cyclic cyclic = SpriteTimer::Cyclic::none)
    {
        auto* timer = new SpriteTimer;
        timer->set_period(period);
        timer->set_cyclic(cyclic);
        sprite->set_timer(timer);
    }

    /// Attaches the controller (owned by the sprite from now on) and returns it.
    template <class C>
    C& attach(C* controller)
    {
        sprite->add_controller(SharedPtr<SpriteBase>(controller));
        return *controller;
    }

    /// One update pass at `time` ms.
    void at(std::int32_t time) { sprite->tick(TimeStamp{TimeStamp::millisecond_clock, time, nullptr}); }

    SharedPtr<Sprite> sprite{new Sprite};
};

}
