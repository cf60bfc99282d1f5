// Mixing 32 voices with pitch, volume and pan through the audio library, reported as the
// CPU time that one second of audio costs ("core_share", shown as a time: 10ms is 1% of one
// core); and decoding an Ogg Vorbis file through the library's source against plain
// libvorbisfile in the same run (the ratio is library / vorbisfile).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include <vorbis/vorbisfile.h>

#include "engine/host/audio/audio_library.h"
#include "engine/host/audio/null/null_audio_output.h"
#include "engine/host/audio/ogg_source.h"
#include "tests/host/audio/test_sounds.h"

namespace {

constexpr int rate = 44100;
constexpr int block = 1024;  // frames the output device asks for at a time

// Seconds of audio that one block plays, as a counter that turns into CPU seconds per
// second of audio.
benchmark::Counter core_share()
{
    return benchmark::Counter(double(block) / rate,
                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void mix_32_voices(benchmark::State& state)
{
    auto output = std::make_unique<kq::NullAudioOutput>();
    kq::NullAudioOutput* null_output = output.get();
    kq::AudioLibrary library(std::move(output));
    library.init(kq::AudioOutput::default_device, rate);
    // Effects of a game scene: short mono and stereo sounds at various rates, all looping.
    std::vector<kq::AudioHandle> samples;
    for (int i = 0; i < 8; ++i) {
        const int channels = 1 + i % 2;
        const int sample_rate = i % 3 == 0 ? 22050 : 44100;
        const std::string wav =
            kq::test::make_wav(kq::test::tone(sample_rate / 2, channels, sample_rate, 200.0 + 50 * i), channels, sample_rate);
        samples.push_back(library.sample_load(wav.data(), wav.size(), 4, kq::audio_override_highest_position));
    }
    for (int voice = 0; voice < 32; ++voice) {
        const kq::AudioHandle channel = library.sample_get_channel(samples[std::size_t(voice % 8)]);
        library.channel_flags(channel, kq::audio_loop, kq::audio_loop);
        library.channel_set_attribute(channel, kq::AudioAttribute::volume, 0.2f + 0.02f * voice);
        library.channel_set_attribute(channel, kq::AudioAttribute::pan, -1.0f + voice / 16.0f);
        float frequency = 0;
        library.channel_get_attribute(channel, kq::AudioAttribute::frequency, &frequency);
        library.channel_set_attribute(channel, kq::AudioAttribute::frequency, frequency * (0.6f + 0.05f * voice));
        library.channel_play(channel, true);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(null_output->pull(block));
    state.counters["core_share"] = core_share();
}

// Ten seconds of stereo music.
const std::string& music()
{
    static const std::string s_music = kq::test::make_ogg(kq::test::tone(rate * 10, 2, rate, 330.0), 2, rate);
    return s_music;
}

void decode_ogg_library(benchmark::State& state)
{
    std::vector<std::int16_t> buffer(std::size_t(block) * 2);
    for (auto _ : state) {
        int error = 0;
        std::unique_ptr<kq::OggSource> source =
            kq::OggSource::open({music().begin(), music().end()}, error);
        while (source->read(buffer.data(), block) > 0)
            benchmark::ClobberMemory();
    }
}

struct Memory
{
    const std::string* bytes;
    std::size_t position;
};

void decode_ogg_vorbisfile(benchmark::State& state)
{
    const ov_callbacks callbacks{
        [](void* out, size_t size, size_t count, void* self) -> size_t {
            auto& m = *static_cast<Memory*>(self);
            const std::size_t n = std::min(count, (m.bytes->size() - m.position) / size);
            std::memcpy(out, m.bytes->data() + m.position, n * size);
            m.position += n * size;
            return n;
        },
        [](void* self, ogg_int64_t offset, int whence) -> int {
            auto& m = *static_cast<Memory*>(self);
            m.position = std::size_t(whence == SEEK_SET ? offset
                                     : whence == SEEK_CUR ? std::int64_t(m.position) + offset
                                                          : std::int64_t(m.bytes->size()) + offset);
            return 0;
        },
        nullptr, [](void* self) -> long { return long(static_cast<Memory*>(self)->position); }};
    std::vector<char> buffer(std::size_t(block) * 4);
    for (auto _ : state) {
        // The same copy of the bytes that the library makes.
        const std::string bytes = music();
        Memory memory{&bytes, 0};
        OggVorbis_File file;
        ov_open_callbacks(&memory, &file, nullptr, 0, callbacks);
        int section = 0;
        while (ov_read(&file, buffer.data(), int(buffer.size()), 0, 2, 1, &section) > 0)
            benchmark::ClobberMemory();
        ov_clear(&file);
    }
}

}

BENCHMARK(mix_32_voices);
BENCHMARK(decode_ogg_vorbisfile)->Unit(benchmark::kMillisecond);
BENCHMARK(decode_ogg_library)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
