#include "engine/platform/flat_sample.h"

#include "engine/base/buffer.h"
#include "engine/platform/audio.h"

namespace kq {

namespace {

constexpr int max_playbacks = 4;

}

FlatSample::~FlatSample()
{
    Audio* audio = Audio::active();
    if (!audio || m_id == 0)
        return;
    if (!audio->library().sample_stop(m_id))
        bass_check("BASS_SampleStop(m_id)");
    if (!audio->library().sample_free(m_id))
        bass_check("BASS_SampleFree(m_id)");
}

AudioHandle FlatSample::channel() const
{
    Audio* audio = Audio::active();
    if (!audio || m_id == 0)
        return 0;
    const AudioHandle channel = audio->library().sample_get_channel(m_id);
    if (channel == 0)
        bass_check("BASS_SampleGetChannel");
    return channel;
}

int FlatSample::length() const
{
    return length_of(m_id);
}

bool FlatSample::load(Buffer* source)
{
    if (!source)
        return false;
    Audio* audio = Audio::active();
    if (!audio) {
        m_id = 0;
        return true;
    }
    const std::string bytes = read_all(*source);
    m_id = audio->library().sample_load(bytes.data(), bytes.size(), max_playbacks, audio_override_highest_position);
    if (m_id == 0)
        bass_check("BASS_SampleLoad");
    return m_id != 0;
}

}
