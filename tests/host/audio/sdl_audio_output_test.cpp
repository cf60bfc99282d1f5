#include "engine/host/audio/sdl/sdl_audio_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/host/audio/audio_library.h"
#include "test_sounds.h"

namespace kq {
namespace {

// Waits for the condition; the bound of twenty seconds only keeps a broken driver from hanging
// the run, it leaves the driver's thread time to be scheduled on a loaded machine.
template <class Condition>
bool eventually(Condition condition)
{
    for (int i = 0; i < 2000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

// The tests run with SDL_AUDIODRIVER=dummy: a driver that consumes sound in real time.
TEST(SdlAudioOutput, PlaysThroughTheDriverInRealTime)
{
    AudioLibrary library(std::make_unique<SdlAudioOutput>());
    ASSERT_TRUE(library.init(AudioOutput::default_device, 44100));
    EXPECT_EQ(library.driver(), "dummy");
    const std::string wav = test::make_wav(test::tone(4410, 1, 44100, 440.0), 1, 44100);
    const AudioHandle sample = library.sample_load(wav.data(), wav.size(), 4, audio_override_highest_position);
    const AudioHandle once = library.sample_get_channel(sample);
    ASSERT_TRUE(library.channel_play(once, true));
    const AudioHandle looping = library.sample_get_channel(sample);
    library.channel_flags(looping, audio_loop, audio_loop);
    ASSERT_TRUE(library.channel_play(looping, true));
    // A tenth of a second: the one-shot ends, the loop plays on.
    EXPECT_TRUE(eventually([&] { return library.channel_is_active(once) == audio_stopped; }));
    EXPECT_EQ(library.channel_is_active(looping), audio_playing);
    EXPECT_TRUE(library.stop());
    EXPECT_TRUE(library.free());
}

// With a driver that does not exist, the default device fails and the silent device opens
// on the dummy driver, where time still passes.
TEST(SdlAudioOutput, FallsBackToTheDummyDriver)
{
    const char* before = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = before ? before : "";
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    AudioLibrary library(std::make_unique<SdlAudioOutput>());
    EXPECT_FALSE(library.init(AudioOutput::default_device, 44100));
    EXPECT_EQ(library.error_code(), audio_error::driver);
    ASSERT_TRUE(library.init(AudioOutput::silent_device, 44100));
    EXPECT_EQ(library.driver(), "dummy");
    const std::string wav = test::make_wav(test::tone(44100, 1, 44100, 440.0), 1, 44100);
    const AudioHandle channel = library.sample_get_channel(library.sample_load(wav.data(), wav.size(), 1, 0));
    ASSERT_TRUE(library.channel_play(channel, true));
    EXPECT_TRUE(eventually([&] { return library.channel_get_position(channel) > 0; }));
    library.free();
    if (before)
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}

}
}
