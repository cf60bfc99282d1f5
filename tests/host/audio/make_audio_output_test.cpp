#include "engine/host/audio/make_audio_output.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kq {
namespace {

// The tests run with SDL_AUDIODRIVER=dummy: SDL is the back end chosen, on that driver.
TEST(MakeAudioOutput, ChoosesSdlWhereSdlHasADriver)
{
    std::unique_ptr<AudioOutput> output = make_audio_output();
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(output->open(AudioOutput::default_device, 44100, [](float* out, int frames) {
        std::fill(out, out + frames * 2, 0.0f);
    }));
    EXPECT_EQ(output->driver(), "dummy");
    output->close();
    EXPECT_EQ(output->driver(), "");
}

}
}
