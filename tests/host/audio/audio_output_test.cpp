#include "engine/host/audio/audio_output.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "engine/host/audio/null/null_audio_output.h"

namespace kq {
namespace {

// The guard every back end's thread renders through, seen through the null output.
TEST(AudioOutput, AFailingRenderGivesSilenceAndItsFirstFailureOnce)
{
    int calls = 0;
    NullAudioOutput output;
    ASSERT_TRUE(output.open(AudioOutput::default_device, 44100, [&calls](float* out, int frames) {
        ++calls;
        for (int i = 0; i < frames * 2; ++i)
            out[i] = 0.5f;
        if (calls == 2)
            throw std::runtime_error("first");
        if (calls == 3)
            throw 7;
    }));
    EXPECT_EQ(output.pull(2), std::vector<float>(4, 0.5f));
    EXPECT_EQ(output.take_render_failure(), "");
    // A throw half-way leaves no half-written frames behind.
    EXPECT_EQ(output.pull(2), std::vector<float>(4, 0.0f));
    EXPECT_EQ(output.pull(2), std::vector<float>(4, 0.0f));
    EXPECT_EQ(output.take_render_failure(), "first");
    EXPECT_EQ(output.take_render_failure(), "");
    EXPECT_EQ(output.pull(2), std::vector<float>(4, 0.5f));
    EXPECT_EQ(output.take_render_failure(), "");
}

TEST(AudioOutput, AFailureOfNoStandardTypeIsNamedSo)
{
    NullAudioOutput output;
    ASSERT_TRUE(output.open(AudioOutput::silent_device, 44100, [](float*, int) { throw 7; }));
    EXPECT_EQ(output.pull(1), std::vector<float>(2, 0.0f));
    EXPECT_EQ(output.take_render_failure(), "unknown exception");
}

}
}
