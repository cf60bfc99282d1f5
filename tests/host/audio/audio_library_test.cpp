#include "engine/host/audio/audio_library.h"

#include <atomic>
#include <chrono>
#include <future>
#include <latch>
#include <thread>

#include <gtest/gtest.h>

#include "engine/host/audio/null/null_audio_output.h"
#include "test_sounds.h"

namespace kq {
namespace {

constexpr int rate = 44100;

// A library on the null output, initialised, with helpers to load test sounds.
class AudioLibraryTest : public testing::Test
{
protected:
    AudioLibraryTest()
    {
        auto output = std::make_unique<NullAudioOutput>();
        m_output = output.get();
        m_library = std::make_unique<AudioLibrary>(std::move(output));
        EXPECT_TRUE(m_library->init(AudioOutput::default_device, rate));
    }

    AudioHandle load_wav(const std::vector<std::int16_t>& samples, int channels = 1, int max = 4,
                         std::uint32_t flags = audio_override_highest_position)
    {
        const std::string wav = test::make_wav(samples, channels, rate);
        return m_library->sample_load(wav.data(), wav.size(), max, flags);
    }

    AudioHandle play_sample(AudioHandle sample)
    {
        const AudioHandle channel = m_library->sample_get_channel(sample);
        EXPECT_NE(channel, 0u);
        EXPECT_TRUE(m_library->channel_play(channel, true));
        return channel;
    }

    AudioHandle stream_of(const std::string& file)
    {
        return m_library->stream_create({file.begin(), file.end()});
    }

    std::vector<float> pull(int frames) { return m_output->pull(frames); }

    NullAudioOutput* m_output = nullptr;
    std::unique_ptr<AudioLibrary> m_library;
};

std::vector<float> ramp_output(int first, int count, float gain = 1.0f)
{
    std::vector<float> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(float(first + i) * gain / 32768.0f);
        out.push_back(float(first + i) * gain / 32768.0f);
    }
    return out;
}

std::vector<std::int16_t> ramp(int count)
{
    std::vector<std::int16_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(std::int16_t(i * 10));
    return out;
}

TEST(AudioLibraryInit, ReportsEachFailureByCode)
{
    auto output = std::make_unique<NullAudioOutput>(false);
    NullAudioOutput* null_output = output.get();
    AudioLibrary library(std::move(output));
    struct Case
    {
        const char* call;
        bool result;
        int error;
    };
    const std::vector<std::pair<Case, std::function<bool()>>> cases = {
        {{"a call before init", false, audio_error::init}, [&] { return library.stop(); }},
        {{"free before init", false, audio_error::init}, [&] { return library.free(); }},
        {{"an unknown device", false, audio_error::device}, [&] { return library.init(3, rate); }},
        {{"no sound card", false, audio_error::driver},
         [&] { return library.init(AudioOutput::default_device, rate); }},
        {{"the silent device", true, audio_error::ok},
         [&] { return library.init(AudioOutput::silent_device, rate); }},
        {{"init twice", false, audio_error::already},
         [&] { return library.init(AudioOutput::silent_device, rate); }},
        {{"free", true, audio_error::ok}, [&] { return library.free(); }},
    };
    for (const auto& [c, call] : cases) {
        EXPECT_EQ(call(), c.result) << c.call;
        EXPECT_EQ(library.error_code(), c.error) << c.call;
    }
    EXPECT_FALSE(null_output->is_open());
}

TEST_F(AudioLibraryTest, RejectsWhatItCannotLoad)
{
    const std::string wav = test::make_wav({1, 2, 3}, 1, rate);
    struct Case
    {
        const char* name;
        std::string bytes;
        int max;
        int error;
    };
    const Case cases[] = {
        {"empty", "", 4, audio_error::file_form},
        {"not a sound file", "hello, world", 4, audio_error::file_form},
        {"a cut WAV", wav.substr(0, 30), 4, audio_error::file_form},
        {"a cut Ogg", test::make_ogg(test::tone(2000, 1, 22050, 440), 1, 22050).substr(0, 60), 4,
         audio_error::file_form},
        {"no voices", wav, 0, audio_error::illegal_param},
        {"too many voices", wav, 65536, audio_error::illegal_param},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m_library->sample_load(c.bytes.data(), c.bytes.size(), c.max, 0), 0u) << c.name;
        EXPECT_EQ(m_library->error_code(), c.error) << c.name;
        if (c.max == 4) {
            EXPECT_EQ(stream_of(c.bytes), 0u) << c.name;
            EXPECT_EQ(m_library->error_code(), c.error) << c.name;
        }
    }
}

TEST_F(AudioLibraryTest, PlaysASampleOnceAndStopsAtItsEnd)
{
    const AudioHandle sample = load_wav(ramp(100));
    const AudioHandle channel = play_sample(sample);
    EXPECT_EQ(m_library->channel_get_length(channel), 200u);
    EXPECT_EQ(pull(60), ramp_output(0, 60, 10.0f));
    EXPECT_EQ(m_library->channel_get_position(channel), 120u);
    EXPECT_EQ(m_library->channel_is_active(channel), audio_playing);
    const std::vector<float> rest = pull(60);
    EXPECT_EQ(std::vector<float>(rest.begin(), rest.begin() + 80), ramp_output(60, 40, 10.0f));
    EXPECT_EQ(std::vector<float>(rest.begin() + 80, rest.end()), std::vector<float>(40, 0.0f));
    EXPECT_EQ(m_library->channel_is_active(channel), audio_stopped);
    EXPECT_EQ(m_library->channel_get_position(channel), 200u);
    // Played again without a restart, a channel at its end starts over.
    EXPECT_TRUE(m_library->channel_play(channel, false));
    EXPECT_EQ(pull(3), ramp_output(0, 3, 10.0f));
}

TEST_F(AudioLibraryTest, LoopsVolumePanAndGlobalVolumeShapeTheOutput)
{
    const AudioHandle channel = play_sample(load_wav({1000, 2000}));
    EXPECT_EQ(m_library->channel_flags(channel, audio_loop, audio_loop), audio_loop);
    EXPECT_TRUE(m_library->channel_set_attribute(channel, AudioAttribute::volume, 0.5f));
    EXPECT_TRUE(m_library->channel_set_attribute(channel, AudioAttribute::pan, -0.5f));
    const std::vector<float> out = pull(4);
    const float s = 1.0f / 32768.0f;
    // Pan -0.5 keeps the left side whole and halves the right.
    EXPECT_EQ(out, (std::vector<float>{500 * s, 250 * s, 1000 * s, 500 * s, 500 * s, 250 * s, 1000 * s, 500 * s}));
    EXPECT_TRUE(m_library->set_config(AudioConfig::sample_volume, 5000));
    EXPECT_FLOAT_EQ(pull(1)[0], 250 * s);
    EXPECT_TRUE(m_library->set_config(AudioConfig::sample_volume, 0));
    EXPECT_EQ(pull(2), std::vector<float>(4, 0.0f));
    EXPECT_FALSE(m_library->set_config(AudioConfig::stream_volume, 10001));
    EXPECT_EQ(m_library->error_code(), audio_error::illegal_param);
    EXPECT_EQ(m_library->channel_is_active(channel), audio_playing);
}

TEST_F(AudioLibraryTest, ClampsAttributes)
{
    const AudioHandle channel = play_sample(load_wav(ramp(10)));
    struct Case
    {
        AudioAttribute attribute;
        float set;
        float read;
    };
    const Case cases[] = {
        {AudioAttribute::volume, -1.0f, 0.0f},   {AudioAttribute::volume, 0.25f, 0.25f},
        {AudioAttribute::pan, -3.0f, -1.0f},     {AudioAttribute::pan, 2.0f, 1.0f},
        {AudioAttribute::frequency, 22050, 22050}, {AudioAttribute::frequency, 0, float(rate)},
        {AudioAttribute::frequency, 1, 100},     {AudioAttribute::frequency, 5e6f, 1e6f},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(m_library->channel_set_attribute(channel, c.attribute, c.set));
        float value = -99.0f;
        EXPECT_TRUE(m_library->channel_get_attribute(channel, c.attribute, &value));
        EXPECT_EQ(value, c.read) << c.set;
    }
}

TEST_F(AudioLibraryTest, PitchChangesTheSpeedAndPositionsCountBytesAtTheOwnRate)
{
    const AudioHandle channel = play_sample(load_wav(ramp(1000), 2));
    EXPECT_TRUE(m_library->channel_set_attribute(channel, AudioAttribute::frequency, 2.0f * rate));
    pull(100);
    EXPECT_EQ(m_library->channel_get_position(channel), 200u * 4);
    EXPECT_DOUBLE_EQ(m_library->channel_bytes_to_seconds(channel, 4 * 22050), 0.5);
    EXPECT_EQ(m_library->channel_seconds_to_bytes(channel, 0.01), 441u * 4);
    EXPECT_TRUE(m_library->channel_set_position(channel, 401));
    EXPECT_EQ(m_library->channel_get_position(channel), 400u);
    EXPECT_FALSE(m_library->channel_set_position(channel, 4 * 501));
    EXPECT_EQ(m_library->error_code(), audio_error::position);
}

TEST_F(AudioLibraryTest, TheFifthVoiceTakesTheOneWithTheHighestPosition)
{
    const AudioHandle sample = load_wav(ramp(1000));
    std::vector<AudioHandle> channels;
    for (int i = 0; i < 4; ++i) {
        channels.push_back(play_sample(sample));
        pull(10);
    }
    // The first played is furthest on, unless a later one is moved further.
    EXPECT_TRUE(m_library->channel_set_position(channels[1], 2 * 500));
    const AudioHandle fifth = play_sample(sample);
    EXPECT_EQ(m_library->channel_is_active(channels[1]), audio_stopped);
    EXPECT_EQ(m_library->error_code(), audio_error::handle);
    for (int i : {0, 2, 3})
        EXPECT_EQ(m_library->channel_is_active(channels[i]), audio_playing) << i;
    EXPECT_EQ(m_library->channel_get_position(fifth), 0u);
    // Without the override flag a sample with every voice busy gives no channel.
    const AudioHandle single = load_wav(ramp(1000), 1, 1, 0);
    play_sample(single);
    EXPECT_EQ(m_library->sample_get_channel(single), 0u);
    EXPECT_EQ(m_library->error_code(), audio_error::no_channel);
}

TEST_F(AudioLibraryTest, AStoppedVoiceIsReusedUnderANewHandle)
{
    const AudioHandle sample = load_wav(ramp(100), 1, 1, 0);
    const AudioHandle first = play_sample(sample);
    EXPECT_TRUE(m_library->channel_stop(first));
    const AudioHandle second = m_library->sample_get_channel(sample);
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, first);
    // The old handle can no longer reach the voice.
    EXPECT_FALSE(m_library->channel_play(first, true));
    EXPECT_EQ(m_library->error_code(), audio_error::handle);
    EXPECT_TRUE(m_library->sample_free(sample));
    EXPECT_FALSE(m_library->channel_play(second, true));
}

// A stream of a WAV file plays exactly what a sample of it plays: the decoding window must
// join its pieces and its loop wrap without a seam, at any speed.
TEST_F(AudioLibraryTest, AStreamPlaysLikeASampleOfTheSameFile)
{
    const std::vector<std::int16_t> data = test::tone(5000, 2, rate, 997.0, 0.8);
    const std::string wav = test::make_wav(data, 2, rate);
    for (float pitch : {1.0f, 0.37f, 1.5f, 3.9f}) {
        SCOPED_TRACE(pitch);
        const AudioHandle sample = m_library->sample_load(wav.data(), wav.size(), 1, 0);
        const AudioHandle stream = stream_of(wav);
        const AudioHandle channel = m_library->sample_get_channel(sample);
        for (AudioHandle h : {channel, stream}) {
            m_library->channel_flags(h, audio_loop, audio_loop);
            m_library->channel_set_attribute(h, AudioAttribute::frequency, pitch * rate);
        }
        auto record = [&](AudioHandle h) {
            std::vector<float> all;
            m_library->channel_play(h, true);
            for (int piece = 0; piece < 12; ++piece) {
                const std::vector<float> out = pull(1111);
                all.insert(all.end(), out.begin(), out.end());
            }
            m_library->channel_stop(h);
            return all;
        };
        EXPECT_EQ(record(channel), record(stream));
        EXPECT_EQ(m_library->channel_get_position(channel), m_library->channel_get_position(stream));
        m_library->sample_free(sample);
        m_library->stream_free(stream);
    }
}

TEST_F(AudioLibraryTest, AnOggStreamDecodesWhilePlaying)
{
    const int frames = 30000;
    const std::string ogg = test::make_ogg(test::tone(frames, 1, 22050, 440.0), 1, 22050);
    const AudioHandle stream = stream_of(ogg);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(m_library->channel_get_length(stream), std::uint64_t(frames) * 2);
    float frequency = 0;
    EXPECT_TRUE(m_library->channel_get_attribute(stream, AudioAttribute::frequency, &frequency));
    EXPECT_EQ(frequency, 22050.0f);
    EXPECT_TRUE(m_library->channel_play(stream, true));
    // 44100 output frames read 22050 frames of a 22050 Hz stream.
    std::vector<float> out = pull(44100);
    EXPECT_EQ(m_library->channel_get_position(stream), 22050u * 2);
    float peak = 0;
    for (float v : out)
        peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(peak, 0.5f, 0.05f);
    // It runs to its end and stops there; a restart goes back to the beginning.
    pull(44100);
    EXPECT_EQ(m_library->channel_is_active(stream), audio_stopped);
    EXPECT_EQ(m_library->channel_get_position(stream), std::uint64_t(frames) * 2);
    EXPECT_TRUE(m_library->channel_play(stream, true));
    EXPECT_EQ(m_library->channel_get_position(stream), 0u);
    // Looping, the position wraps past the end.
    m_library->channel_flags(stream, audio_loop, audio_loop);
    EXPECT_TRUE(m_library->channel_set_position(stream, std::uint64_t(frames - 100) * 2));
    pull(400);
    EXPECT_EQ(m_library->channel_is_active(stream), audio_playing);
    EXPECT_EQ(m_library->channel_get_position(stream), 100u * 2);
}

// The stream decodes piece by piece ahead of the mix; what it plays, across the loop's wrap,
// is what the whole file decodes to.
TEST_F(AudioLibraryTest, AnOggStreamLoopsWithTheSoundOfTheWholeFile)
{
    const std::string ogg = test::make_ogg(test::tone(7000, 2, rate, 660.0), 2, rate);
    const AudioHandle sample = m_library->sample_load(ogg.data(), ogg.size(), 1, audio_loop);
    const AudioHandle stream = stream_of(ogg);
    ASSERT_NE(sample, 0u);
    ASSERT_NE(stream, 0u);
    m_library->channel_flags(stream, audio_loop, audio_loop);
    auto record = [&](AudioHandle h) {
        std::vector<float> all;
        m_library->channel_play(h, true);
        for (int piece = 0; piece < 20; ++piece) {
            const std::vector<float> out = pull(1500);  // 30000 frames: four times round
            all.insert(all.end(), out.begin(), out.end());
        }
        m_library->channel_stop(h);
        return all;
    };
    const std::vector<float> whole = record(m_library->sample_get_channel(sample));
    EXPECT_EQ(record(stream), whole);
}

// A source whose reads wait until the test lets them go: a decode held in the middle.
class HeldSource : public PcmSource
{
public:
    int rate() const override { return 44100; }
    int channels() const override { return 1; }
    std::int64_t length() const override { return -1; }
    std::int64_t read(std::int16_t* out, std::int64_t frames) override
    {
        if (!m_entered.exchange(true))
            reading.count_down();
        released.wait();
        std::fill(out, out + frames, std::int16_t(16384));
        return frames;
    }
    bool seek(std::int64_t) override { return true; }

    std::latch reading{1};
    std::latch released{1};

private:
    std::atomic<bool> m_entered{false};
};

TEST_F(AudioLibraryTest, TheMainThreadDoesNotWaitForAStreamBeingDecoded)
{
    auto source = std::make_unique<HeldSource>();
    HeldSource& held = *source;
    const AudioHandle stream = m_library->stream_create(std::move(source));
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(m_library->channel_play(stream, true));
    std::vector<float> mixed;
    std::thread output([&] { mixed = pull(64); });
    held.reading.wait();
    // While the piece is held, calls of the main thread return, and freeing the stream leaves
    // the decode its source until it is done.
    auto calls = std::async(std::launch::async, [&] {
        return m_library->channel_set_attribute(stream, AudioAttribute::volume, 0.5f) &&
               m_library->channel_is_active(stream) == audio_playing && m_library->stream_free(stream);
    });
    const bool returned = calls.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    held.released.count_down();
    output.join();
    EXPECT_TRUE(returned) << "a main-thread call waited for the decode";
    EXPECT_TRUE(calls.get());
    // The freed stream is not mixed.
    EXPECT_EQ(mixed, std::vector<float>(128, 0.0f));
}

// Moving, restarting and freeing streams while the output mixes them from its own thread:
// the sanitizers and the positions see no race.
TEST_F(AudioLibraryTest, StreamsMoveAndFreeWhileTheOutputMixes)
{
    const int frames = 20000;
    const std::string ogg = test::make_ogg(test::tone(frames, 1, rate, 440.0), 1, rate);
    std::atomic<bool> done{false};
    std::thread output([&] {
        while (!done)
            pull(512);
    });
    for (int round = 0; round < 40; ++round) {
        const AudioHandle stream = stream_of(ogg);
        ASSERT_NE(stream, 0u);
        m_library->channel_flags(stream, round % 2 ? audio_loop : 0, audio_loop);
        EXPECT_TRUE(m_library->channel_play(stream, true));
        for (int move = 0; move < 5; ++move) {
            const std::uint64_t to = std::uint64_t((round * 7919 + move * 4001) % frames);
            EXPECT_TRUE(m_library->channel_set_position(stream, to * 2));
            EXPECT_LE(m_library->channel_get_position(stream), std::uint64_t(frames) * 2);
            std::this_thread::yield();
        }
        EXPECT_TRUE(m_library->stream_free(stream));
    }
    done = true;
    output.join();
}

TEST_F(AudioLibraryTest, AStreamWithoutSoundPlaysAsSilence)
{
    const AudioHandle stream = stream_of(test::make_ogg({}, 2, rate));
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(m_library->channel_get_length(stream), 0u);
    for (bool loop : {false, true}) {
        m_library->channel_flags(stream, loop ? audio_loop : 0, audio_loop);
        EXPECT_TRUE(m_library->channel_play(stream, true));
        EXPECT_EQ(pull(256), std::vector<float>(512, 0.0f));
        EXPECT_EQ(m_library->channel_is_active(stream), audio_stopped);
    }
}

TEST_F(AudioLibraryTest, StopHoldsTheOutputUntilPlayingIsAllowed)
{
    const AudioHandle channel = play_sample(load_wav(ramp(100)));
    EXPECT_TRUE(m_library->stop());
    EXPECT_TRUE(pull(10).empty());
    EXPECT_FALSE(m_library->channel_play(channel, false));
    EXPECT_EQ(m_library->error_code(), audio_error::start);
    EXPECT_TRUE(m_library->set_config(AudioConfig::pause_no_play, 0));
    EXPECT_TRUE(m_library->channel_play(channel, false));
    EXPECT_EQ(pull(2), ramp_output(0, 2, 10.0f));
}

TEST_F(AudioLibraryTest, FreeDropsEverything)
{
    const AudioHandle sample = load_wav(ramp(10));
    const AudioHandle channel = play_sample(sample);
    EXPECT_TRUE(m_library->free());
    EXPECT_FALSE(m_output->is_open());
    EXPECT_EQ(m_library->channel_is_active(channel), audio_stopped);
    EXPECT_EQ(m_library->error_code(), audio_error::init);
    EXPECT_TRUE(m_library->init(AudioOutput::default_device, rate));
    EXPECT_EQ(m_library->sample_get_channel(sample), 0u);
    EXPECT_EQ(m_library->error_code(), audio_error::handle);
}

}
}
