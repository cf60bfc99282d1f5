#include "engine/platform/sample.h"

#include "engine/base/buffer.h"
#include "engine/platform/audio.h"

namespace kq {

int Sample::length() const
{
    Audio* audio = Audio::active();
    if (!audio || m_handle == 0)
        return 0;
    AudioLibrary& library = audio->library();
    const std::uint64_t bytes = library.channel_get_length(m_handle);
    if (bytes == audio_no_bytes) {
        bass_check("BASS_ChannelGetLength");
        return 0;
    }
    const double seconds = library.channel_bytes_to_seconds(m_handle, bytes);
    if (seconds < 0.0) {
        bass_check("BASS_ChannelBytes2Seconds");
        return 0;
    }
    return int(seconds * 1000.0);
}

bool Sample::load(Buffer* source)
{
    if (!source)
        return false;
    Audio* audio = Audio::active();
    if (!audio) {
        m_handle = 0;
        return true;
    }
    m_handle = make_handle(audio->library(), read_all(*source));
    return m_handle != 0;
}

}
