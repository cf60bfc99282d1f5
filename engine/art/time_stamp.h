#pragma once

#include <cstdint>

namespace kq {

class Sprite;

/// What one update pass of a sprite tree hands to every member it reaches.
struct TimeStamp
{
    /// The clock of the ordinary millisecond time.
    static constexpr std::uint32_t millisecond_clock = 0xFFFFFFFF;

    /// The clock the time belongs to: `millisecond_clock`, or the id of a logic parameter.
    std::uint32_t clock = millisecond_clock;
    /// The time in milliseconds.
    std::int32_t time = 0;
    /// The sprite that receives particles emitted during this pass; not owned, may be null.
    Sprite* receiver = nullptr;
};

}
