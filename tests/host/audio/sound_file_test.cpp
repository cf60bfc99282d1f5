#include "engine/host/audio/sound_file.h"

#include <gtest/gtest.h>

#include "engine/host/audio/audio_codes.h"
#include "test_sounds.h"

namespace kq {
namespace {

TEST(SoundFile, DecodesWavFilesTo16BitSamples)
{
    struct Case
    {
        const char* name;
        std::string file;
        int rate;
        int channels;
        std::vector<std::int16_t> samples;
    };
    std::string quad;
    for (std::int16_t s : {100, 200, 300, 400})
        test::put_u16(quad, std::uint16_t(s));
    const Case cases[] = {
        {"16-bit mono", test::make_wav({0, 1000, -1000, 32767, -32768}, 1, 22050), 22050, 1,
         {0, 1000, -1000, 32767, -32768}},
        {"16-bit stereo", test::make_wav({1, -1, 2, -2}, 2, 44100), 44100, 2, {1, -1, 2, -2}},
        // (byte - 128) / 128 of full scale 32767, the lowest byte at the bottom of the range.
        {"8-bit, unsigned around 128", test::make_wav_bytes(std::string("\x80\xff\x00", 3), 1, 8000, 8), 8000, 1,
         {0, 32511, -32768}},
        {"four channels mix down to two", test::make_wav_bytes(quad, 4, 11025, 16), 11025, 2, {}},
        {"no frames", test::make_wav({}, 1, 44100), 44100, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pcm pcm;
        ASSERT_EQ(decode_sound_file(c.file.data(), c.file.size(), pcm), audio_error::ok);
        EXPECT_EQ(pcm.rate, c.rate);
        EXPECT_EQ(pcm.channels, c.channels);
        if (c.channels == 2 && c.samples.empty() && c.rate == 11025)
            EXPECT_EQ(pcm.frames(), 1);
        else
            EXPECT_EQ(pcm.samples, c.samples);
    }
}

TEST(SoundFile, DecodesOggVorbisFiles)
{
    const std::vector<std::int16_t> samples = test::tone(20000, 2, 32000, 300.0, 0.6);
    const std::string ogg = test::make_ogg(samples, 2, 32000);
    Pcm pcm;
    ASSERT_EQ(decode_sound_file(ogg.data(), ogg.size(), pcm), audio_error::ok);
    EXPECT_EQ(pcm.rate, 32000);
    EXPECT_EQ(pcm.channels, 2);
    ASSERT_EQ(pcm.frames(), 20000);
    // A lossy coding: close to the tone, not equal to it.
    double error = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i)
        error += std::abs(pcm.samples[i] - samples[i]);
    EXPECT_LT(error / double(samples.size()), 300.0);
}

TEST(SoundFile, ReportsDamagedFiles)
{
    const std::string wav = test::make_wav(test::tone(500, 1, 8000, 100.0), 1, 8000);
    const std::string ogg = test::make_ogg(test::tone(5000, 1, 8000, 100.0), 1, 8000);
    std::string wav_zero_rate = wav;
    wav_zero_rate.replace(24, 4, std::string(4, '\0'));
    std::string wav_long_data = wav;
    wav_long_data.replace(40, 4, "\x58\x02\x00\xcd");
    std::string ogg_bad_header = ogg;
    for (std::size_t i = 40; i < 60; ++i)
        ogg_bad_header[i] = '\x55';
    struct Case
    {
        const char* name;
        std::string file;
        int error;
    };
    const Case cases[] = {
        {"empty", "", audio_error::file_form},
        {"unknown kind", "ID3\x03 something else", audio_error::file_form},
        {"RIFF of another kind", "RIFF\x04\0\0\0AVI LIST", audio_error::file_form},
        {"WAV cut in its header", wav.substr(0, 20), audio_error::file_form},
        {"WAV with rate 0", wav_zero_rate, audio_error::file_form},
        {"WAV whose data claims 3 GB", wav_long_data, audio_error::file_form},
        {"Ogg page header only", ogg.substr(0, 27), audio_error::file_form},
        {"Ogg with a damaged header", ogg_bad_header, audio_error::file_form},
    };
    for (const Case& c : cases) {
        Pcm pcm;
        EXPECT_EQ(decode_sound_file(c.file.data(), c.file.size(), pcm), c.error) << c.name;
        int error = 0;
        EXPECT_EQ(open_sound_file({c.file.begin(), c.file.end()}, error), nullptr) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
}

TEST(SoundFile, AStreamReadsInPiecesAndSeeks)
{
    const std::vector<std::int16_t> samples = test::tone(9000, 1, 22050, 440.0);
    for (const std::string& file : {test::make_wav(samples, 1, 22050), test::make_ogg(samples, 1, 22050)}) {
        Pcm whole;
        ASSERT_EQ(decode_sound_file(file.data(), file.size(), whole), audio_error::ok);
        int error = -1;
        std::unique_ptr<PcmSource> source = open_sound_file({file.begin(), file.end()}, error);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(error, audio_error::ok);
        EXPECT_EQ(source->length(), 9000);
        std::vector<std::int16_t> pieces(9000);
        std::int64_t at = 0;
        while (const std::int64_t got = source->read(pieces.data() + at, std::min<std::int64_t>(777, 9000 - at)))
            at += got;
        EXPECT_EQ(at, 9000);
        EXPECT_EQ(pieces, whole.samples);
        ASSERT_TRUE(source->seek(6000));
        std::vector<std::int16_t> tail(3000);
        EXPECT_EQ(source->read(tail.data(), 3000), 3000);
        EXPECT_TRUE(std::equal(tail.begin(), tail.end(), whole.samples.begin() + 6000));
        EXPECT_EQ(source->read(tail.data(), 10), 0);
    }
}

}
}
