#pragma once

#include "engine/platform/sample.h"

namespace kq {

/// A piece of music as the audio service plays it.
struct MusicInfo
{
    /// Start times with a meaning of their own.
    static constexpr int random_start = -1;
    static constexpr int resume_start = -2;

    /// The music, played as a stream (key flags 1); empty for none.
    ResHandle<Sample> sample{ResKey{"", 1}};
    /// 0 from the beginning, > 0 from that millisecond, `random_start` from a random one,
    /// `resume_start` from where this sample was last switched away from (0 if never).
    int start_time = 0;
    /// The level the music fades in to (group 1's volume applies on top).
    float volume = 1.0f;
};

/// Equal handles (`ResHandleBase::operator==`), start times and volumes.
bool operator==(const MusicInfo& a, const MusicInfo& b);

/// The lengths of the two phases of a switch of music, in milliseconds.
struct MusicFade
{
    int fade_out_ms = 0;
    int fade_in_ms = 0;
};

}
