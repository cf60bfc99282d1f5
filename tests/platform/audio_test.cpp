#include "engine/platform/audio.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "audio_fixture.h"
#include "engine/base/exception.h"
#include "engine/host/audio/sdl/sdl_audio_output.h"
#include "engine/platform/sound.h"
#include "engine/res/skin.h"

namespace kq {
namespace {

using test::AudioFixture;

class AudioTest : public AudioFixture
{
};

class AudioWithoutDevice : public AudioFixture
{
protected:
    AudioWithoutDevice() : AudioFixture(false) {}
};

TEST_F(AudioTest, StartsOnTheDeviceAndRegistersTheSampleLoader)
{
    EXPECT_TRUE(m_audio->is_initialised());
    EXPECT_EQ(Audio::instance(), m_audio);
    EXPECT_EQ(Audio::active(), m_audio);
    EXPECT_NE(m_log.text("audio").find("\nBASS audio system init successful\nAudio output driver: null\n"),
              std::string::npos);
    EXPECT_EQ(m_log.text("audio").find("Bass error"), std::string::npos);
    write("beep.wav", test::level_wav(1000, 10));
    EXPECT_NE(handle("beep.wav").get(), nullptr);
}

TEST_F(AudioWithoutDevice, RunsSilentlyAfterLoggingTheFailure)
{
    EXPECT_FALSE(m_audio->is_initialised());
    EXPECT_EQ(Audio::instance(), m_audio);
    EXPECT_EQ(Audio::active(), nullptr);
    EXPECT_NE(m_log.text("audio").find("\nBass error in function Initialization, code: 3\n"
                                       "BASS audio system init failed, using no sound\n"),
              std::string::npos);
    // Samples load without sound data, lengths read 0 and playing does nothing.
    write("beep.wav", test::level_wav(1000, 4410));
    ResHandle<Sample> beep = handle("beep.wav");
    ASSERT_NE(beep.get(), nullptr);
    EXPECT_EQ(beep.get()->length(), 0);
    Sound sound;
    sound.play(beep.get(), true, 0.0f, 1.0f, 0);
    EXPECT_FALSE(sound.is_playing());
    EXPECT_EQ(pull(4), std::vector<float>(8, 0.0f));
    // Group volumes are still kept.
    m_audio->set_group_volume(0.25f, 1);
    EXPECT_FLOAT_EQ(m_audio->group_volume(1), 0.25f);
}

TEST_F(AudioTest, GroupVolumesStartAtOneAndReachLoopingSoundsAtOnce)
{
    m_audio->set_group_volume(0.5f, 2);
    EXPECT_FLOAT_EQ(m_audio->group_volume(2), 0.5f);
    EXPECT_FLOAT_EQ(m_audio->group_volume(7), 1.0f);

    write("hum.wav", test::level_wav(16384, 100));
    ResHandle<Sample> hum = handle("hum.wav");
    Sound looping;
    Sound once;
    looping.play(hum.get(), true, 0.0f, 0.8f, 0);
    EXPECT_NEAR(next_left(), 0.5f * 0.8f, 1e-6f);
    m_audio->set_group_volume(0.5f, 0);
    EXPECT_NEAR(next_left(), 0.5f * 0.8f * 0.5f, 1e-6f);
    looping.stop();
    // A one-shot sound keeps its volume until played again.
    once.play(hum.get(), false, 0.0f, 1.0f, 0);
    EXPECT_NEAR(next_left(), 0.5f * 0.5f, 1e-6f);
    m_audio->set_group_volume(1.0f, 0);
    EXPECT_NEAR(next_left(), 0.5f * 0.5f, 1e-6f);
}

TEST_F(AudioTest, PanForX)
{
    const std::pair<float, float> cases[] = {{0, -1}, {256, -0.5f}, {512, 0}, {1024, 1}, {2000, 1}, {-300, -1}};
    for (const auto& [x, pan] : cases)
        EXPECT_FLOAT_EQ(m_audio->pan_for_x(x), pan) << x;
    m_audio->set_pan_width(800);
    EXPECT_FLOAT_EQ(m_audio->pan_for_x(600), 0.5f);
}

TEST_F(AudioTest, GlobalMuteSilencesSamplesAndStreams)
{
    write("hum.wav", test::level_wav(16384, 100));
    ResHandle<Sample> flat = handle("hum.wav");
    ResHandle<Sample> stream = handle("hum.wav", 1);
    Sound a;
    Sound b;
    a.play(flat.get(), true, 0.0f, 1.0f, 0);
    b.play(stream.get(), true, 0.0f, 1.0f, 0);
    EXPECT_NEAR(next_left(), 1.0f, 1e-6f);
    m_audio->set_global_volume(true);
    EXPECT_EQ(pull(3), std::vector<float>(6, 0.0f));
    m_audio->set_global_volume(false);
    EXPECT_NEAR(next_left(), 1.0f, 1e-6f);
}

TEST_F(AudioTest, FailedCallsAreLoggedNotThrown)
{
    EXPECT_FALSE(m_audio->library().channel_play(12345, true));
    bass_check("BASS_ChannelPlay(m_id, start_time == 0)");
    EXPECT_NE(m_log.text("audio").find("\nBass error in function BASS_ChannelPlay(m_id, start_time == 0), code: 5\n"),
              std::string::npos);
    // After a call that succeeded, the check writes nothing.
    m_audio->set_global_volume(false);
    bass_check("nothing wrong");
    EXPECT_EQ(m_log.text("audio").find("nothing wrong"), std::string::npos);
}

TEST_F(AudioTest, ShutdownDropsTheSamplesAndFreesTheLibrary)
{
    write("beep.wav", test::level_wav(1000, 10));
    ResHandle<Sample> beep = handle("beep.wav");
    ASSERT_NE(beep.get(), nullptr);
    beep.release();
    m_audio->shutdown();
    EXPECT_FALSE(m_audio->is_initialised());
    EXPECT_FALSE(m_output->is_open());
    EXPECT_TRUE(m_res->table().find(type_name<Sample>()) == m_res->table().end() ||
                m_res->table().at(type_name<Sample>()).empty());
    EXPECT_NE(m_log.text("audio").find("\nBass audio system shutdown.\n"), std::string::npos);
}

// An output whose mixing fails every time it is asked for frames.
class ThrowingOutput : public NullAudioOutput
{
public:
    bool open(int device, int rate, Render) override
    {
        return NullAudioOutput::open(device, rate, [](float*, int) { throw std::runtime_error("decoder broke"); });
    }
};

TEST(AudioOutputFailure, PlaysSilenceAndTheMainThreadLogsItOnce)
{
    test::LogCapture log;
    Mainframe::create();
    TempDir dir;
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.path() + "default.root");
    auto output = std::make_unique<ThrowingOutput>();
    ThrowingOutput* device = output.get();
    auto* audio = new Audio(std::move(output));
    start_service(audio);
    EXPECT_EQ(device->pull(64), std::vector<float>(128, 0.0f));
    EXPECT_EQ(device->pull(64), std::vector<float>(128, 0.0f));
    const std::string line = "\nAudio output failed, silence played: decoder broke\n";
    EXPECT_EQ(log.text("audio").find(line), std::string::npos);
    // The next sound operation, on the main thread, reports what the output kept, once.
    EXPECT_EQ(Audio::active(), audio);
    EXPECT_EQ(Audio::active(), audio);
    const std::string text = log.text("audio");
    ASSERT_NE(text.find(line), std::string::npos);
    EXPECT_EQ(text.find(line, text.find(line) + 1), std::string::npos);
    stop_service(audio);
    Mainframe::destroy();
}

// On the dummy driver of the tests, which consumes sound in real time.
TEST(AudioOnTheDummyDriver, PlaysWavAndOggLoopingAtAPitch)
{
    test::LogCapture log;
    Mainframe::create();
    TempDir dir;
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.path() + "default.root");
    std::ofstream(dir.file("tone.wav"), std::ios::binary) << test::make_wav(test::tone(4410, 1, 44100, 440.0), 1, 44100);
    std::ofstream(dir.file("tone.ogg"), std::ios::binary) << test::make_ogg(test::tone(4410, 2, 44100, 440.0), 2, 44100);
    auto* audio = new Audio(std::make_unique<SdlAudioOutput>());
    start_service(audio);
    ASSERT_TRUE(audio->is_initialised());
    {
        ResHandle<Sample> wav(ResKey{"tone.wav", 0});
        ResHandle<Sample> ogg(ResKey{"tone.ogg", 1});
        Sound a;
        Sound b;
        a.play(wav.get(), true, -0.5f, 0.8f, 0);
        b.play(ogg.get(), true, 0.5f, 0.8f, 50);
        a.set_pitch(2.0f);
        audio->set_group_volume(0.5f, 0);
        // Both 100 ms long: looping, they still play after twice that.
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(250))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(a.is_playing());
        EXPECT_TRUE(b.is_playing());
        // Positions wrap at the end instead of running past it.
        EXPECT_LT(a.position(), 100);
        EXPECT_LT(b.position(), 100);
        EXPECT_GT(a.position() + b.position(), 0);
        a.stop();
        EXPECT_FALSE(a.is_playing());
    }
    stop_service(audio);
    Mainframe::destroy();
}

TEST(AudioService, StartNeedsTheMainframeResAndSkin)
{
    test::LogCapture log;
    auto failure = [] {
        try {
            start_audio_service();
        } catch (const Exception& error) {
            return error.message();
        }
        return std::string("started");
    };
    EXPECT_EQ(failure(), "Unable to start service [audio]. Mainframe not initialized correctly.");
    Mainframe::create();
    EXPECT_EQ(failure(), "Unable to start service [audio]. [res] not initialized.");
    {
        SharedPtr<Res> res(new Res);
        EXPECT_EQ(failure(), "Unable to start service [audio]. [skin] not initialized.");
        {
            SharedPtr<Skin> skin(new Skin);
            // On the dummy driver of the tests.
            EXPECT_EQ(failure(), "started");
            ASSERT_NE(Audio::instance(), nullptr);
            EXPECT_TRUE(Audio::instance()->is_initialised());
            stop_audio_service();
            EXPECT_EQ(Audio::instance(), nullptr);
        }
    }
    Mainframe::destroy();
}

}
}
