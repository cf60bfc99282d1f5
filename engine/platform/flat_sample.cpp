#include "engine/platform/flat_sample.h"

#include "engine/platform/audio.h"

namespace kq {

namespace {

constexpr int max_playbacks = 4;

}

FlatSample::~FlatSample()
{
    Audio* audio = Audio::active();
    if (!audio || handle() == 0)
        return;
    if (!audio->library().sample_stop(handle()))
        bass_check("BASS_SampleStop(m_id)");
    if (!audio->library().sample_free(handle()))
        bass_check("BASS_SampleFree(m_id)");
}

AudioHandle FlatSample::channel() const
{
    Audio* audio = Audio::active();
    if (!audio || handle() == 0)
        return 0;
    const AudioHandle channel = audio->library().sample_get_channel(handle());
    if (channel == 0)
        bass_check("BASS_SampleGetChannel");
    return channel;
}

AudioHandle FlatSample::make_handle(AudioLibrary& library, const std::string& bytes)
{
    const AudioHandle id = library.sample_load(bytes.data(), bytes.size(), max_playbacks, audio_override_highest_position);
    if (id == 0)
        bass_check("BASS_SampleLoad");
    return id;
}

}
