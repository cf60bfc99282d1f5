#include "engine/platform/sample_loader.h"

#include <gtest/gtest.h>

#include "audio_fixture.h"
#include "engine/platform/flat_sample.h"
#include "engine/platform/sound.h"
#include "engine/platform/stream_sample.h"
#include "engine/res/res_exception.h"

namespace kq {
namespace {

class SampleLoaderTest : public test::AudioFixture
{
protected:
    // The text of the error that loading throws, or "loaded".
    std::string load_failure(const std::string& path, int flags)
    {
        try {
            return handle(path, flags).get() ? "loaded" : "null";
        } catch (const ResException&) {
            return "not loaded";
        }
    }
};

TEST_F(SampleLoaderTest, TheFlagsChooseTheKind)
{
    write("tone.wav", test::make_wav(test::tone(2205, 1, 22050, 440.0), 1, 22050));
    write("tone.ogg", test::make_ogg(test::tone(2205, 2, 22050, 440.0), 2, 22050));
    for (const char* path : {"tone.wav", "tone.ogg"}) {
        SCOPED_TRACE(path);
        ResHandle<Sample> flat = handle(path, 0);
        ResHandle<Sample> stream = handle(path, 1);
        EXPECT_NE(dynamic_cast<FlatSample*>(flat.get()), nullptr);
        EXPECT_NE(dynamic_cast<StreamSample*>(stream.get()), nullptr);
        EXPECT_EQ(flat.get()->length(), 100);
        EXPECT_EQ(stream.get()->length(), 100);
        EXPECT_EQ(load_failure(path, 2), "not loaded");
    }
}

// Damaged files are load errors of the resource manager, whichever the kind.
TEST_F(SampleLoaderTest, DamagedFilesAreNotLoaded)
{
    const std::string wav = test::make_wav(test::tone(2205, 1, 22050, 440.0), 1, 22050);
    const std::string ogg = test::make_ogg(test::tone(2205, 1, 22050, 440.0), 1, 22050);
    write("empty.wav", "");
    write("text.wav", "not a sound at all");
    write("cut.wav", wav.substr(0, 40));
    write("cut.ogg", ogg.substr(0, 100));
    for (const char* path : {"empty.wav", "text.wav", "cut.wav", "cut.ogg", "missing.wav"})
        for (int flags : {0, 1})
            EXPECT_EQ(load_failure(path, flags), "not loaded") << path << " " << flags;
    EXPECT_NE(m_log.text("audio").find("\nBass error in function BASS_SampleLoad, code: 41\n"), std::string::npos);
    EXPECT_NE(m_log.text("audio").find("\nBass error in function BASS_StreamCreateFileUser, code: 41\n"),
              std::string::npos);
}

TEST_F(SampleLoaderTest, AStreamPlayedAgainStartsFromTheBeginning)
{
    std::vector<std::int16_t> ramp;
    for (int i = 0; i < 44100; ++i)
        ramp.push_back(std::int16_t(i % 30000));
    write("ramp.wav", test::make_wav(ramp, 1, 44100));
    ResHandle<Sample> stream = handle("ramp.wav", 1);
    Sound sound;
    sound.play(stream.get(), false, 0.0f, 1.0f, 0);
    pull(441 * 3);
    EXPECT_EQ(sound.position(), 30);
    sound.stop();
    sound.play(stream.get(), false, 0.0f, 1.0f, 0);
    EXPECT_EQ(sound.position(), 0);
    EXPECT_EQ(pull(2), (std::vector<float>{0.0f, 0.0f, 1.0f / 32768.0f, 1.0f / 32768.0f}));
}

TEST_F(SampleLoaderTest, AStreamWithoutSoundPlaysAsSilence)
{
    write("silent.ogg", test::make_ogg({}, 1, 44100));
    ResHandle<Sample> stream = handle("silent.ogg", 1);
    ASSERT_NE(stream.get(), nullptr);
    EXPECT_EQ(stream.get()->length(), 0);
    Sound sound;
    sound.play(stream.get(), true, 0.0f, 1.0f, 0);
    EXPECT_EQ(pull(64), std::vector<float>(128, 0.0f));
    EXPECT_FALSE(sound.is_playing());
}

}
}
