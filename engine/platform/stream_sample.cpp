#include "engine/platform/stream_sample.h"

#include "engine/platform/audio.h"

namespace kq {

StreamSample::~StreamSample()
{
    Audio* audio = Audio::active();
    if (!audio || handle() == 0)
        return;
    if (!audio->library().channel_stop(handle()))
        bass_check("BASS_ChannelStop(m_id)");
    if (!audio->library().stream_free(handle()))
        bass_check("BASS_StreamFree(m_id)");
}

AudioHandle StreamSample::channel() const
{
    return Audio::active() ? handle() : 0;
}

AudioHandle StreamSample::make_handle(AudioLibrary& library, const std::string& bytes)
{
    const AudioHandle id = library.stream_create({bytes.begin(), bytes.end()});
    if (id == 0)
        bass_check("BASS_StreamCreateFileUser");
    return id;
}

}
