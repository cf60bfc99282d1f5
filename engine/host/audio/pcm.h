#pragma once

#include <cstdint>
#include <vector>

namespace kq {

/// Decoded sound: signed 16-bit samples, one or two channels interleaved, at a rate in Hz.
struct Pcm
{
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;

    /// The number of frames (one sample per channel).
    std::int64_t frames() const { return channels > 0 ? std::int64_t(samples.size()) / channels : 0; }
};

/// The rates and channel counts the library plays.
inline constexpr int pcm_min_rate = 1000;
inline constexpr int pcm_max_rate = 384000;

/// Whether the rate and channel count are ones the library plays.
inline bool is_playable_format(long rate, int channels)
{
    return rate >= pcm_min_rate && rate <= pcm_max_rate && (channels == 1 || channels == 2);
}

/// The longest sound decoded whole, in frames (about twelve minutes at 44100 Hz): a bound
/// that keeps a damaged or hostile file from asking for unbounded memory.
inline constexpr std::int64_t pcm_max_frames = std::int64_t(1) << 25;

}
