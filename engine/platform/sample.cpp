#include "engine/platform/sample.h"

#include "engine/platform/audio.h"

namespace kq {

int Sample::length_of(AudioHandle handle)
{
    Audio* audio = Audio::active();
    if (!audio || handle == 0)
        return 0;
    AudioLibrary& library = audio->library();
    const std::uint64_t bytes = library.channel_get_length(handle);
    if (bytes == audio_no_bytes) {
        bass_check("BASS_ChannelGetLength");
        return 0;
    }
    const double seconds = library.channel_bytes_to_seconds(handle, bytes);
    if (seconds < 0.0) {
        bass_check("BASS_ChannelBytes2Seconds");
        return 0;
    }
    return int(seconds * 1000.0);
}

}
