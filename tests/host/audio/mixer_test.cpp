#include "engine/host/audio/mixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace kq {
namespace {

constexpr float unit = 1.0f / 32768.0f;

std::uint64_t frames_fixed(double frames)
{
    return std::uint64_t(frames * double(mix_one_frame));
}

struct MixCase
{
    const char* name;
    std::vector<std::int16_t> data;
    int channels;
    double start;
    double step;
    float left;
    float right;
    bool loop;
    std::vector<float> expected;  // interleaved stereo, in sample units
    double end_position;
    bool ended;
};

TEST(Mixer, MixesOneVoice)
{
    const std::vector<MixCase> cases = {
        {"mono at its own rate, centred", {100, 200, 300}, 1, 0, 1, unit, unit, false,
         {100, 100, 200, 200, 300, 300, 0, 0}, 3, true},
        {"mono panned: each side its own gain", {100, 200}, 1, 0, 1, unit, 0.5f * unit, false,
         {100, 50, 200, 100, 0, 0}, 2, true},
        {"stereo keeps its sides apart", {10, -10, 20, -20}, 2, 0, 1, unit, unit, false,
         {10, -10, 20, -20, 0, 0}, 2, true},
        {"half speed interpolates between frames", {0, 100, 200}, 1, 0, 0.5, unit, unit, false,
         {0, 0, 50, 50, 100, 100, 150, 150, 200, 200, 100, 100}, 3, false},
        {"double speed skips frames", {1, 2, 3, 4, 5, 6}, 1, 0, 2, unit, unit, false,
         {1, 1, 3, 3, 5, 5, 0, 0}, 6, true},
        {"a loop starts over at frame 0", {7, 8, 9}, 1, 0, 1, unit, unit, true,
         {7, 7, 8, 8, 9, 9, 7, 7, 8, 8}, 2, false},
        {"the last frame of a loop leads into frame 0", {0, 100}, 1, 1, 0.5, unit, unit, true,
         {100, 100, 50, 50, 0, 0}, 0.5, false},
        {"a loop entered past its end wraps", {5, 6, 7}, 1, 4, 1, unit, unit, true,
         {6, 6, 7, 7}, 3, false},
        {"a voice past its end is silent and ended", {5, 6}, 1, 9, 1, unit, unit, false,
         {0, 0, 0, 0}, 9, true},
    };
    for (const MixCase& c : cases) {
        SCOPED_TRACE(c.name);
        MixVoice voice;
        voice.source = {c.data.data(), std::int64_t(c.data.size()) / c.channels, c.channels};
        voice.position = frames_fixed(c.start);
        voice.step = frames_fixed(c.step);
        voice.left = c.left;
        voice.right = c.right;
        voice.loop = c.loop;
        std::vector<float> out(c.expected.size(), 123.0f);
        std::vector<MixVoice> voices{voice};
        mix_voices(voices, out);
        for (std::size_t i = 0; i < out.size(); ++i)
            EXPECT_NEAR(out[i], c.expected[i] * unit, 1e-6f) << "at " << i;
        EXPECT_EQ(voices[0].position, frames_fixed(c.end_position));
        EXPECT_EQ(voices[0].ended, c.ended);
    }
}

TEST(Mixer, AddsVoicesAndSkipsEndedOnes)
{
    const std::vector<std::int16_t> a{1000, 1000};
    const std::vector<std::int16_t> b{-300, 500};
    std::vector<MixVoice> voices(3);
    voices[0].source = {a.data(), 2, 1};
    voices[1].source = {b.data(), 2, 1};
    voices[2].source = {a.data(), 2, 1};
    voices[2].ended = true;
    for (MixVoice& voice : voices)
        voice.left = voice.right = unit;
    std::vector<float> out(4);
    mix_voices(voices, out);
    EXPECT_FLOAT_EQ(out[0], 700 * unit);
    EXPECT_FLOAT_EQ(out[2], 1500 * unit);
    EXPECT_EQ(voices[2].position, 0u);
}

TEST(Mixer, EmptyOrBrokenSourcesEndAtOnce)
{
    const std::vector<std::int16_t> data{1};
    std::vector<MixVoice> voices(2);
    voices[0].source = {data.data(), 0, 1};
    voices[0].loop = true;
    voices[1].source = {nullptr, 5, 1};
    std::vector<float> out(8);
    mix_voices(voices, out);
    EXPECT_TRUE(voices[0].ended);
    EXPECT_TRUE(voices[1].ended);
    EXPECT_EQ(out, std::vector<float>(8, 0.0f));
}

TEST(Mixer, StepFromFrequency)
{
    struct Case
    {
        double frequency;
        int output_rate;
        std::uint64_t step;
    };
    const Case cases[] = {
        {44100, 44100, mix_one_frame},
        {22050, 44100, mix_one_frame / 2},
        {88200, 44100, 2 * mix_one_frame},
        {0, 44100, 1},
        {-5, 44100, 1},
        {44100, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mix_step(c.frequency, c.output_rate), c.step) << c.frequency << " / " << c.output_rate;
}

}
}
