#include "engine/platform/stream_sample.h"

#include "engine/base/buffer.h"
#include "engine/platform/audio.h"

namespace kq {

StreamSample::~StreamSample()
{
    Audio* audio = Audio::active();
    if (!audio || m_id == 0)
        return;
    if (!audio->library().channel_stop(m_id))
        bass_check("BASS_ChannelStop(m_id)");
    if (!audio->library().stream_free(m_id))
        bass_check("BASS_StreamFree(m_id)");
}

AudioHandle StreamSample::channel() const
{
    return Audio::active() ? m_id : 0;
}

int StreamSample::length() const
{
    return length_of(m_id);
}

bool StreamSample::load(Buffer* source)
{
    if (!source)
        return false;
    Audio* audio = Audio::active();
    if (!audio) {
        m_id = 0;
        return true;
    }
    const std::string bytes = read_all(*source);
    m_id = audio->library().stream_create({bytes.begin(), bytes.end()});
    if (m_id == 0) {
        bass_check("BASS_StreamCreateFileUser");
        return false;
    }
    return true;
}

}
