#include "engine/platform/sound.h"

#include <gtest/gtest.h>

#include "audio_fixture.h"
#include "engine/base/random.h"

namespace kq {
namespace {

class SoundTest : public test::AudioFixture
{
protected:
    SoundTest()
    {
        write("level.wav", test::level_wav(16384, 4410));
        std::vector<std::int16_t> ramp;
        for (int i = 0; i < 22050; ++i)
            ramp.push_back(std::int16_t(i));
        write("ramp.wav", test::make_wav(ramp, 1, 22050));
    }

    ResHandle<Sample> m_level = handle("level.wav");
    ResHandle<Sample> m_ramp = handle("ramp.wav");
};

TEST_F(SoundTest, PlaysOnceOrLoopingWithPanAndVolume)
{
    Sound sound;
    sound.play(m_level.get(), false, -1.0f, 0.5f, 0);
    EXPECT_TRUE(sound.is_playing());
    EXPECT_EQ(pull(1), (std::vector<float>{0.25f, 0.0f}));
    sound.set_pan(1.0f);
    sound.set_volume(1.0f);
    EXPECT_EQ(pull(1), (std::vector<float>{0.0f, 0.5f}));
    pull(4410);
    EXPECT_FALSE(sound.is_playing());

    sound.play(m_level.get(), true, 0.0f, 1.0f, 0);
    pull(3 * 4410);
    EXPECT_TRUE(sound.is_playing());
    EXPECT_TRUE(sound.is_looping());
    sound.stop();
    EXPECT_FALSE(sound.is_playing());
    EXPECT_EQ(pull(2), std::vector<float>(4, 0.0f));
}

TEST_F(SoundTest, PlaysFromAStartTimeAndReportsItsPosition)
{
    Sound sound;
    sound.play(m_ramp.get(), false, 0.0f, 1.0f, 250);
    // 250 ms of the 22050 Hz ramp: frame 5512, which reads back as 249.98 ms, truncated.
    EXPECT_EQ(sound.position(), 249);
    EXPECT_NEAR(next_left(), 5512.0f / 32768.0f, 1e-6f);
    sound.play(m_ramp.get(), false, 0.0f, 1.0f, -7);
    EXPECT_EQ(sound.position(), 0);
}

TEST_F(SoundTest, PitchScalesTheRateTheChannelHadWhenPlayed)
{
    Sound sound;
    sound.play(m_ramp.get(), false, 0.0f, 1.0f, 0);
    // The 22050 Hz ramp on the 44100 Hz output: half a frame per output frame.
    pull(4410);
    EXPECT_EQ(sound.position(), 100);
    sound.set_pitch(2.0f);
    pull(4410);
    EXPECT_EQ(sound.position(), 300);
    sound.set_pitch(1.0f);
    pull(4410);
    EXPECT_EQ(sound.position(), 400);
}

TEST_F(SoundTest, SettersDoNothingOnceTheSoundHasFinished)
{
    Sound sound;
    sound.play(m_level.get(), false, 0.0f, 0.5f, 0);
    pull(5000);
    ASSERT_FALSE(sound.is_playing());
    sound.set_volume(0.9f);
    EXPECT_FLOAT_EQ(sound.volume(), 0.5f);
    EXPECT_EQ(sound.position(), 0);
}

TEST_F(SoundTest, ARandomStartFallsInsideALongSample)
{
    // 100 s at 8000 Hz: a draw times the length in milliseconds passes 2^31.
    write("long.wav", test::make_wav(std::vector<std::int16_t>(800000, 100), 1, 8000));
    ResHandle<Sample> long_sample = handle("long.wav");
    ASSERT_EQ(long_sample.get()->length(), 100000);
    random_seed(7);
    int highest = 0;
    for (int i = 0; i < 20; ++i) {
        Sound sound;
        sound.play(long_sample.get(), true, 0.0f, 1.0f, -1);
        ASSERT_TRUE(sound.is_playing());
        EXPECT_GE(sound.position(), 0);
        EXPECT_LT(sound.position(), 100000);
        highest = std::max(highest, sound.position());
    }
    EXPECT_GT(highest, 50000);
}

TEST_F(SoundTest, TheFifthPlaybackTakesTheFurthestOne)
{
    std::vector<Sound> sounds(5);
    for (int i = 0; i < 4; ++i) {
        sounds[std::size_t(i)].play(m_ramp.get(), false, 0.0f, 1.0f, 0);
        pull(441);
    }
    sounds[4].play(m_ramp.get(), false, 0.0f, 1.0f, 0);
    EXPECT_FALSE(sounds[0].is_playing());
    for (int i = 1; i < 5; ++i)
        EXPECT_TRUE(sounds[std::size_t(i)].is_playing()) << i;
}

TEST_F(SoundTest, ACopyStartsIdleAndLeavesTheOriginalAlone)
{
    Sound original;
    original.play(m_level.get(), true, 0.0f, 0.5f, 0);
    {
        Sound copy(original);
        EXPECT_FALSE(copy.is_playing());
        EXPECT_FLOAT_EQ(copy.volume(), 0.5f);
        copy.set_volume(0.1f);
        copy.stop();
        Sound assigned;
        assigned = original;
        EXPECT_FALSE(assigned.is_playing());
    }
    EXPECT_TRUE(original.is_playing());
    EXPECT_NEAR(next_left(), 0.25f, 1e-6f);
    // The copies left no trace in the group: a group volume reaches the original only.
    m_audio->set_group_volume(0.5f, 0);
    EXPECT_NEAR(next_left(), 0.125f, 1e-6f);
}

TEST_F(SoundTest, AOneShotRingsOnAfterItsSoundIsGoneALoopDoesNot)
{
    {
        Sound once;
        once.play(m_level.get(), false, 0.0f, 1.0f, 0);
        Sound looping;
        looping.play(m_ramp.get(), true, 0.0f, 1.0f, 0);
    }
    // The level sound alone is left.
    EXPECT_NEAR(next_left(), 0.5f, 1e-6f);
    m_audio->set_group_volume(0.5f, 0);
    EXPECT_NEAR(next_left(), 0.5f, 1e-6f);
}

TEST_F(SoundTest, NothingHappensWithoutASample)
{
    Sound sound;
    sound.play(nullptr, true, 0.0f, 1.0f, 0);
    EXPECT_FALSE(sound.is_playing());
    sound.stop();
    EXPECT_EQ(pull(2), std::vector<float>(4, 0.0f));
}

}
}
