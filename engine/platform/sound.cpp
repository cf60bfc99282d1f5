#include "engine/platform/sound.h"

#include <algorithm>
#include <cstdint>

#include "engine/base/math_utils.h"
#include "engine/platform/audio.h"
#include "engine/platform/sample.h"

namespace kq {

Sound::Sound(const Sound& other)
    : m_let_ring(other.m_let_ring), m_group(other.m_group), m_initial_frequency(other.m_initial_frequency),
      m_volume(other.m_volume), m_n(other.m_n)
{
}

Sound& Sound::operator=(const Sound& other)
{
    if (this == &other)
        return *this;
    release();
    m_let_ring = other.m_let_ring;
    m_looping = false;
    m_id = 0;
    m_group = other.m_group;
    m_initial_frequency = other.m_initial_frequency;
    m_volume = other.m_volume;
    m_n = other.m_n;
    return *this;
}

Sound::~Sound()
{
    release();
}

void Sound::release()
{
    if (m_looping || !m_let_ring)
        stop();
}

void Sound::play(const Sample* sample, bool loop, float pan, float volume, int start_time)
{
    Audio* audio = Audio::active();
    if (!audio)
        return;
    stop();
    if (!sample)
        return;
    m_id = sample->channel();
    if (m_id == 0)
        return;
    AudioLibrary& library = audio->library();
    m_looping = loop;
    if (loop)
        audio->add_to_group(this, m_group);
    if (library.channel_flags(m_id, loop ? audio_loop : 0, audio_loop) == 0)
        bass_check("BASS_ChannelFlags(m_id, channel_flags, channel_mask)");
    m_volume = volume;
    if (!library.channel_set_attribute(m_id, AudioAttribute::volume, m_volume * audio->group_volume(m_group)))
        bass_check("BASS_ChannelSetAttribute(m_id, BASS_ATTRIB_VOL, m_volume * audio->group_volume(m_group))");
    if (!library.channel_set_attribute(m_id, AudioAttribute::pan, pan))
        bass_check("BASS_ChannelSetAttribute(m_id, BASS_ATTRIB_PAN, pan)");
    if (!library.channel_get_attribute(m_id, AudioAttribute::frequency, &m_initial_frequency))
        bass_check("BASS_ChannelGetAttribute(m_id, BASS_ATTRIB_FREQ, &m_initial_frequency)");
    const int position = start_time == -1 ? random_int2(sample->length()) : std::max(start_time, 0);
    if (position > 0 &&
        !library.channel_set_position(m_id, library.channel_seconds_to_bytes(m_id, position * 0.001)))
        bass_check("BASS_ChannelSetPosition(m_id, BASS_ChannelSeconds2Bytes(m_id, time_to_seconds(start_time)), "
                   "BASS_POS_BYTE)");
    if (!library.channel_play(m_id, position == 0))
        bass_check("BASS_ChannelPlay(m_id, start_time == 0)");
}

void Sound::stop()
{
    Audio* audio = Audio::instance();
    if (!audio)
        return;
    if (m_looping)
        audio->remove_from_group(this, m_group);
    if (audio->is_initialised() && m_id != 0 && audio->library().channel_is_active(m_id) != audio_stopped &&
        !audio->library().channel_stop(m_id))
        bass_check("BASS_ChannelStop(m_id)");
}

bool Sound::is_playing() const
{
    Audio* audio = Audio::active();
    return audio && m_id != 0 && audio->library().channel_is_active(m_id) != audio_stopped;
}

void Sound::set_volume(float volume)
{
    if (!is_playing())
        return;
    Audio* audio = Audio::active();
    m_volume = volume;
    if (!audio->library().channel_set_attribute(m_id, AudioAttribute::volume, m_volume * audio->group_volume(m_group)))
        bass_check("BASS_ChannelSetAttribute(m_id, BASS_ATTRIB_VOL, m_volume * audio->group_volume(m_group))");
}

void Sound::set_pan(float pan)
{
    if (!is_playing())
        return;
    if (!Audio::active()->library().channel_set_attribute(m_id, AudioAttribute::pan, pan))
        bass_check("BASS_ChannelSetAttribute(m_id, BASS_ATTRIB_PAN, pan)");
}

void Sound::set_pitch(float pitch)
{
    if (m_initial_frequency <= 0.0f || !is_playing())
        return;
    if (!Audio::active()->library().channel_set_attribute(m_id, AudioAttribute::frequency,
                                                          pitch * m_initial_frequency))
        bass_check("BASS_ChannelSetAttribute(m_id, BASS_ATTRIB_FREQ, pitch * m_initial_frequency)");
}

int Sound::position() const
{
    if (!is_playing())
        return 0;
    AudioLibrary& library = Audio::active()->library();
    const std::uint64_t bytes = library.channel_get_position(m_id);
    if (bytes == audio_no_bytes) {
        bass_check("BASS_ChannelGetPosition");
        return 0;
    }
    const double seconds = library.channel_bytes_to_seconds(m_id, bytes);
    if (seconds < 0.0) {
        bass_check("BASS_ChannelBytes2Seconds");
        return 0;
    }
    return int(seconds * 1000.0);
}

}
