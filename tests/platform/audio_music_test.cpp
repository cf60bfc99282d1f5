// The music channel of the audio service and its cross-fader, against a clock the test drives.
#include <gtest/gtest.h>

#include "audio_fixture.h"
#include "engine/platform/audio.h"
#include "tests/base/manual_clock.h"

namespace kq {
namespace {

// Two pieces of music that tell themselves apart by their level: A at 0.25, B at 0.5.
template <bool HasDevice>
class MusicFixture : public test::AudioFixture
{
protected:
    MusicFixture() : test::AudioFixture(HasDevice)
    {
        write("a.wav", test::level_wav(8192, 44100 * 4));
        write("b.wav", test::level_wav(16384, 44100 * 4));
    }

    static MusicInfo music(const std::string& path, int start_time = 0, float volume = 1.0f)
    {
        MusicInfo info;
        info.sample = handle(path, 1);
        info.start_time = start_time;
        info.volume = volume;
        return info;
    }

    // Lets the fader's task run until the clock reads `ms`.
    void run_until(std::int64_t ms)
    {
        Mainframe::wait(ms - m_clock.time);
        m_clock.time = ms;
    }

    // The music's position in milliseconds, as `current_music` reports it.
    int position()
    {
        MusicInfo out;
        m_audio->current_music(out);
        return out.start_time;
    }

    test::ManualClock m_clock;
};

using MusicTest = MusicFixture<true>;
using MusicWithoutDevice = MusicFixture<false>;

TEST_F(MusicTest, CrossFadesFromOnePieceToTheNextAndRemembersThePosition)
{
    m_audio->play_music(music("a.wav"), {0, 0});
    EXPECT_EQ(m_audio->fade_state(), Audio::idle);
    EXPECT_EQ(m_audio->fade_task(), 0u);
    EXPECT_NEAR(next_left(), 0.25f, 1e-6f);
    pull(22049);  // half a second of A

    m_clock.time = 1000;
    m_audio->play_music(music("b.wav"), {500, 500});
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_out);
    EXPECT_NE(m_audio->fade_task(), 0u);
    run_until(1250);
    EXPECT_NEAR(m_audio->music_level(), 0.5f, 0.03f);
    EXPECT_NEAR(next_left(), 0.25f * m_audio->music_level(), 1e-6f);
    run_until(1500);
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_in);
    EXPECT_NEAR(m_audio->music_level(), 0.0f, 0.03f);
    run_until(1750);
    EXPECT_NEAR(m_audio->music_level(), 0.5f, 0.03f);
    EXPECT_NEAR(next_left(), 0.5f * m_audio->music_level(), 1e-6f);
    run_until(2010);
    EXPECT_EQ(m_audio->fade_state(), Audio::idle);
    EXPECT_FLOAT_EQ(m_audio->music_level(), 1.0f);
    // The step that ended the fade-in found nothing to change and removed the task.
    EXPECT_EQ(m_audio->fade_task(), 0u);
    EXPECT_NEAR(next_left(), 0.5f, 1e-6f);

    // Back to A, where it was left.
    m_audio->play_music(music("a.wav", MusicInfo::resume_start), {0, 0});
    EXPECT_EQ(position(), 500);
    EXPECT_NEAR(next_left(), 0.25f, 1e-6f);
}

TEST_F(MusicTest, ARequestDuringAFadeInFadesOutFromTheLevelReached)
{
    m_audio->play_music(music("a.wav"), {0, 500});
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_in);
    run_until(200);
    EXPECT_NEAR(m_audio->music_level(), 0.4f, 0.03f);
    const float reached = m_audio->music_level();
    m_audio->play_music(music("b.wav"), {500, 500});
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_out);
    run_until(300);
    EXPECT_NEAR(m_audio->music_level(), reached / 2, 0.03f);
    EXPECT_NEAR(next_left(), 0.25f * m_audio->music_level(), 1e-6f);
    // The fade-out lasts as long as the fade-in had run: 200 ms.
    run_until(400);
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_in);
    run_until(910);
    EXPECT_EQ(m_audio->fade_state(), Audio::idle);
    EXPECT_NEAR(next_left(), 0.5f, 1e-6f);
}

TEST_F(MusicTest, ASecondRequestDuringAFadeOutOnlyChangesWhatFollows)
{
    m_audio->play_music(music("a.wav"), {0, 0});
    m_audio->play_music(music("b.wav"), {500, 300});
    run_until(100);
    m_audio->play_music(music("b.wav", 0, 0.5f), {500, 300});
    run_until(250);
    EXPECT_NEAR(m_audio->music_level(), 0.5f, 0.03f);  // the running fade-out kept its start
    run_until(500);
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_in);
    run_until(810);
    EXPECT_EQ(m_audio->fade_state(), Audio::idle);
    EXPECT_FLOAT_EQ(m_audio->music_level(), 0.5f);
    EXPECT_NEAR(next_left(), 0.25f, 1e-6f);
}

TEST_F(MusicTest, TheSamePieceWithResumeOnlyChangesItsVolume)
{
    m_audio->play_music(music("a.wav"), {0, 0});
    pull(4410);
    m_audio->play_music(music("a.wav", MusicInfo::resume_start, 0.5f), {500, 500});
    EXPECT_EQ(m_audio->fade_state(), Audio::idle);
    EXPECT_EQ(m_audio->fade_task(), 0u);
    EXPECT_FLOAT_EQ(m_audio->music_level(), 0.5f);
    EXPECT_EQ(position(), 100);
    EXPECT_NEAR(next_left(), 0.125f, 1e-6f);
    MusicInfo current;
    m_audio->current_music(current);
    EXPECT_FLOAT_EQ(current.volume, 0.5f);
    EXPECT_TRUE(current.sample == handle("a.wav", 1));
}

TEST_F(MusicTest, MusicThatCannotBeLoadedStopsTheMusic)
{
    m_audio->play_music(music("a.wav"), {0, 0});
    EXPECT_NEAR(next_left(), 0.25f, 1e-6f);
    m_audio->play_music(music("missing.ogg"), {0, 0});
    EXPECT_EQ(m_audio->fade_state(), Audio::idle);
    EXPECT_EQ(next_left(), 0.0f);
    m_audio->play_music_path(handle("b.wav", 1), {0, 0});
    EXPECT_NEAR(next_left(), 0.5f, 1e-6f);
    m_audio->stop_music({0, 0});
    EXPECT_EQ(next_left(), 0.0f);
    EXPECT_EQ(position(), 0);
}

TEST_F(MusicTest, TheMusicFollowsItsGroupVolume)
{
    m_audio->play_music(music("b.wav"), {0, 0});
    m_audio->set_group_volume(0.5f, 1);
    EXPECT_NEAR(next_left(), 0.25f, 1e-6f);
    m_audio->set_group_volume(0.5f, 0);
    EXPECT_NEAR(next_left(), 0.25f, 1e-6f);
}

TEST_F(MusicWithoutDevice, RequestsRunThroughTheStatesSilently)
{
    m_audio->play_music(music("a.wav"), {0, 0});
    EXPECT_EQ(m_audio->fade_state(), Audio::idle);
    m_audio->play_music(music("b.wav"), {300, 300});
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_out);
    run_until(300);
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_in);
    run_until(610);
    EXPECT_EQ(m_audio->fade_state(), Audio::idle);
    EXPECT_EQ(m_audio->fade_task(), 0u);
    EXPECT_EQ(position(), 0);
}

TEST(MusicInfo, EqualWhenHandleStartAndVolumeAre)
{
    MusicInfo a;
    a.sample = ResHandle<Sample>(ResKey{"a.ogg", 1});
    MusicInfo b = a;
    EXPECT_TRUE(a == b);
    b.start_time = MusicInfo::resume_start;
    EXPECT_FALSE(a == b);
    b = a;
    b.volume = 0.5f;
    EXPECT_FALSE(a == b);
    b = a;
    b.sample = ResHandle<Sample>(ResKey{"a.ogg", 0});
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(MusicInfo() == MusicInfo());
}

}
}
