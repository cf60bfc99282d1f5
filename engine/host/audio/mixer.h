#pragma once

#include <cstdint>
#include <span>

namespace kq {

/// Positions and steps of the mixer are frames in 32.32 fixed point.
inline constexpr int mix_fraction_bits = 32;
inline constexpr std::uint64_t mix_one_frame = std::uint64_t(1) << mix_fraction_bits;

/// Signed 16-bit sound data, one or two channels interleaved.
struct PcmView
{
    const std::int16_t* samples = nullptr;
    std::int64_t frames = 0;
    int channels = 1;
};

/// One sound being mixed: where it reads, how fast, how loud on each side.
struct MixVoice
{
    PcmView source;
    /// Read position (32.32 frames); advanced by the mix.
    std::uint64_t position = 0;
    /// Source frames per output frame (32.32); at least 1.
    std::uint64_t step = mix_one_frame;
    /// Gains of the left and right output: a full-scale sample times the gain gives the
    /// output value (so 1 / 32768 plays the data at its own level).
    float left = 0.0f;
    float right = 0.0f;
    /// At the end: start over at frame 0, or end.
    bool loop = false;
    /// Set by the mix when the voice reached its end without looping.
    bool ended = false;
};

/// The step that reads `frequency` source frames a second on an output of `output_rate`
/// frames a second; never 0.
std::uint64_t mix_step(double frequency, int output_rate);

/// Mixes the voices into `out` (stereo frames, interleaved; overwritten, not added to).
/// Each voice reads its data linearly interpolated, advances its position, wraps or ends.
/// A pure function: no state outside its arguments.
void mix_voices(std::span<MixVoice> voices, std::span<float> out);

}
