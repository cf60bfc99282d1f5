#include "engine/host/audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace kq {

namespace {

constexpr float fraction_scale = 1.0f / float(mix_one_frame);

inline float fraction_of(std::uint64_t position)
{
    return float(position & (mix_one_frame - 1)) * fraction_scale;
}

// Mixes n frames during which the frame after the read position lies inside the data, so
// the loop needs no bounds checks.
template <int Channels>
void mix_inside(MixVoice& voice, float* out, std::int64_t n)
{
    const std::int16_t* data = voice.source.samples;
    std::uint64_t position = voice.position;
    const std::uint64_t step = voice.step;
    const float left = voice.left;
    const float right = voice.right;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::int64_t at = std::int64_t(position >> mix_fraction_bits) * Channels;
        const float t = fraction_of(position);
        if constexpr (Channels == 1) {
            const float s0 = data[at];
            const float value = s0 + (float(data[at + 1]) - s0) * t;
            out[2 * i] += value * left;
            out[2 * i + 1] += value * right;
        } else {
            const float l0 = data[at];
            const float r0 = data[at + 1];
            out[2 * i] += (l0 + (float(data[at + 2]) - l0) * t) * left;
            out[2 * i + 1] += (r0 + (float(data[at + 3]) - r0) * t) * right;
        }
        position += step;
    }
    voice.position = position;
}

// Mixes one frame read from the last frame of the data: it leads into frame 0 when the
// voice loops, into silence when it does not.
void mix_last_frame(MixVoice& voice, float* out)
{
    const PcmView& source = voice.source;
    const std::int64_t last = (source.frames - 1) * source.channels;
    const float t = fraction_of(voice.position);
    for (int side = 0; side < 2; ++side) {
        const int channel = source.channels == 2 ? side : 0;
        const float s0 = source.samples[last + channel];
        const float s1 = voice.loop ? float(source.samples[channel]) : 0.0f;
        out[side] += (s0 + (s1 - s0) * t) * (side == 0 ? voice.left : voice.right);
    }
    voice.position += voice.step;
}

void mix_voice(MixVoice& voice, float* out, std::int64_t frames)
{
    const std::int64_t total = voice.source.frames;
    if (total <= 0 || !voice.source.samples || voice.step == 0) {
        voice.ended = true;
        return;
    }
    const std::uint64_t end = std::uint64_t(total) << mix_fraction_bits;
    const std::uint64_t inside_end = std::uint64_t(total - 1) << mix_fraction_bits;
    std::int64_t done = 0;
    while (done < frames) {
        if (voice.position >= end) {
            if (!voice.loop) {
                voice.ended = true;
                return;
            }
            voice.position %= end;
        }
        if (voice.position < inside_end) {
            const std::uint64_t room = (inside_end - voice.position + voice.step - 1) / voice.step;
            const std::int64_t n = std::int64_t(std::min<std::uint64_t>(room, std::uint64_t(frames - done)));
            if (voice.source.channels == 2)
                mix_inside<2>(voice, out + 2 * done, n);
            else
                mix_inside<1>(voice, out + 2 * done, n);
            done += n;
        } else {
            mix_last_frame(voice, out + 2 * done);
            ++done;
        }
    }
}

}

std::uint64_t mix_step(double frequency, int output_rate)
{
    if (!(frequency > 0.0) || output_rate <= 0)
        return 1;
    const double step = std::round(frequency / output_rate * double(mix_one_frame));
    return std::uint64_t(std::clamp(step, 1.0, double(std::uint64_t(1) << 62)));
}

void mix_voices(std::span<MixVoice> voices, std::span<float> out)
{
    std::fill(out.begin(), out.end(), 0.0f);
    const std::int64_t frames = std::int64_t(out.size() / 2);
    for (MixVoice& voice : voices)
        if (!voice.ended)
            mix_voice(voice, out.data(), frames);
}

}
