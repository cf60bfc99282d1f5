// Loads any input as a sound file, as a sample and as a stream, and plays each for a while
// through the mixer, looping and at a raised pitch; refusing the input is expected, anything
// else (a crash, a hang, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/host/audio/audio_library.h"
#include "engine/host/audio/null/null_audio_output.h"

namespace {

constexpr int frames_played = 8192;

kq::NullAudioOutput* g_output = nullptr;

kq::AudioLibrary& library()
{
    static kq::AudioLibrary s_library = [] {
        auto output = std::make_unique<kq::NullAudioOutput>();
        g_output = output.get();
        return kq::AudioLibrary(std::move(output));
    }();
    return s_library;
}

void play(kq::AudioHandle channel)
{
    kq::AudioLibrary& audio = library();
    audio.channel_flags(channel, kq::audio_loop, kq::audio_loop);
    audio.channel_set_attribute(channel, kq::AudioAttribute::frequency, 96000.0f);
    audio.channel_play(channel, true);
    g_output->pull(frames_played);
    audio.channel_set_position(channel, audio.channel_get_length(channel) / 2);
    g_output->pull(frames_played);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kq::AudioLibrary& audio = library();
    audio.init(kq::AudioOutput::default_device, 44100);
    if (const kq::AudioHandle sample = audio.sample_load(data, size, 4, kq::audio_override_highest_position)) {
        play(audio.sample_get_channel(sample));
        audio.sample_free(sample);
    }
    if (const kq::AudioHandle stream = audio.stream_create({data, data + size})) {
        play(stream);
        audio.stream_free(stream);
    }
    return 0;
}
