#include "engine/host/audio/audio_library.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/host/audio/sound_file.h"

namespace kq {

namespace {

constexpr int max_voices_limit = 65535;
constexpr float min_frequency = 100.0f;
constexpr float max_frequency = 1000000.0f;
constexpr std::int64_t stream_piece_frames = 4096;

std::uint64_t frame_bytes(int channels)
{
    return std::uint64_t(channels) * sizeof(std::int16_t);
}

}

AudioLibrary::AudioLibrary(std::unique_ptr<AudioOutput> output) : m_output(std::move(output)) {}

AudioLibrary::Stream::Stream(std::unique_ptr<PcmSource> source)
    : source(std::move(source)), channels(this->source->channels()), length(this->source->length())
{
}

AudioLibrary::~AudioLibrary()
{
    free();
}

bool AudioLibrary::fail(int code) const
{
    m_error = code;
    return false;
}

bool AudioLibrary::succeed() const
{
    m_error = audio_error::ok;
    return true;
}

int AudioLibrary::error_code() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

std::string AudioLibrary::driver() const
{
    std::lock_guard lock(m_mutex);
    return m_initialised ? m_output->driver() : "";
}

bool AudioLibrary::init(int device, int rate)
{
    std::unique_lock lock(m_mutex);
    if (m_initialised)
        return fail(audio_error::already);
    if (device != AudioOutput::default_device && device != AudioOutput::silent_device)
        return fail(audio_error::device);
    if (rate < pcm_min_rate || rate > pcm_max_rate)
        return fail(audio_error::format);
    m_rate = rate;
    // The device may start mixing, which takes the lock, before it reports back.
    lock.unlock();
    const bool opened = m_output->open(device, rate, [this](float* out, int frames) { render(out, frames); });
    lock.lock();
    if (!opened)
        return fail(audio_error::driver);
    m_initialised = true;
    m_stopped = false;
    return succeed();
}

bool AudioLibrary::stop()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_initialised)
            return fail(audio_error::init);
        m_stopped = true;
        succeed();
    }
    // The device holds its own lock while it mixes, and the mix takes ours: pause outside ours.
    m_output->set_paused(true);
    return true;
}

bool AudioLibrary::free()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_initialised)
            return fail(audio_error::init);
    }
    // Closing waits for a mix in progress, which takes the lock: close outside it.
    m_output->close();
    std::lock_guard lock(m_mutex);
    m_initialised = false;
    m_channels.clear();
    m_samples.clear();
    return succeed();
}

bool AudioLibrary::set_config(AudioConfig option, int value)
{
    std::lock_guard lock(m_mutex);
    switch (option) {
    case AudioConfig::sample_volume:
    case AudioConfig::stream_volume:
        if (value < 0 || value > 10000)
            return fail(audio_error::illegal_param);
        (option == AudioConfig::sample_volume ? m_sample_volume : m_stream_volume) = value;
        break;
    case AudioConfig::pause_no_play:
        m_pause_no_play = value != 0;
        break;
    }
    return succeed();
}

AudioHandle AudioLibrary::next_handle()
{
    do
        ++m_last_handle;
    while (m_last_handle == 0 || m_samples.count(m_last_handle) || m_channels.count(m_last_handle));
    return m_last_handle;
}

AudioLibrary::Channel* AudioLibrary::find_channel(AudioHandle handle)
{
    if (!m_initialised) {
        fail(audio_error::init);
        return nullptr;
    }
    const auto found = m_channels.find(handle);
    if (found == m_channels.end()) {
        fail(audio_error::handle);
        return nullptr;
    }
    return &found->second;
}

AudioLibrary::Sample* AudioLibrary::find_sample(AudioHandle handle)
{
    if (!m_initialised) {
        fail(audio_error::init);
        return nullptr;
    }
    const auto found = m_samples.find(handle);
    if (found == m_samples.end()) {
        fail(audio_error::handle);
        return nullptr;
    }
    return &found->second;
}

AudioHandle AudioLibrary::sample_load(const void* data, std::size_t size, int max_voices, std::uint32_t flags)
{
    std::lock_guard lock(m_mutex);
    if (!m_initialised)
        return fail(audio_error::init);
    if (max_voices < 1 || max_voices > max_voices_limit)
        return fail(audio_error::illegal_param);
    auto pcm = std::make_shared<Pcm>();
    if (const int error = decode_sound_file(data, size, *pcm); error != audio_error::ok)
        return fail(error);
    const AudioHandle handle = next_handle();
    m_samples[handle] = Sample{std::move(pcm), max_voices, flags, {}};
    succeed();
    return handle;
}

AudioHandle AudioLibrary::new_sample_channel(AudioHandle sample_handle, Sample& sample, std::size_t slot)
{
    if (slot < sample.channels.size())
        m_channels.erase(sample.channels[slot]);
    else
        sample.channels.push_back(0);
    const AudioHandle handle = next_handle();
    Channel& channel = m_channels[handle];
    channel.sample = sample_handle;
    channel.pcm = sample.pcm;
    channel.rate = sample.pcm->rate;
    channel.channels = sample.pcm->channels;
    channel.frequency = float(sample.pcm->rate);
    channel.loop = (sample.flags & audio_loop) != 0;
    sample.channels[slot] = handle;
    succeed();
    return handle;
}

AudioHandle AudioLibrary::sample_get_channel(AudioHandle sample_handle)
{
    std::lock_guard lock(m_mutex);
    Sample* sample = find_sample(sample_handle);
    if (!sample)
        return 0;
    for (std::size_t slot = 0; slot < sample->channels.size(); ++slot)
        if (!m_channels.at(sample->channels[slot]).playing)
            return new_sample_channel(sample_handle, *sample, slot);
    if (sample->channels.size() < std::size_t(sample->max_voices))
        return new_sample_channel(sample_handle, *sample, sample->channels.size());
    if (!(sample->flags & audio_override_highest_position))
        return fail(audio_error::no_channel);
    std::size_t highest = 0;
    for (std::size_t slot = 1; slot < sample->channels.size(); ++slot)
        if (m_channels.at(sample->channels[slot]).position > m_channels.at(sample->channels[highest]).position)
            highest = slot;
    return new_sample_channel(sample_handle, *sample, highest);
}

bool AudioLibrary::sample_stop(AudioHandle sample_handle)
{
    std::lock_guard lock(m_mutex);
    Sample* sample = find_sample(sample_handle);
    if (!sample)
        return false;
    for (AudioHandle handle : sample->channels)
        m_channels.at(handle).playing = false;
    return succeed();
}

bool AudioLibrary::sample_free(AudioHandle sample_handle)
{
    std::lock_guard lock(m_mutex);
    Sample* sample = find_sample(sample_handle);
    if (!sample)
        return false;
    for (AudioHandle handle : sample->channels)
        m_channels.erase(handle);
    m_samples.erase(sample_handle);
    return succeed();
}

AudioHandle AudioLibrary::stream_create(std::vector<unsigned char> bytes)
{
    std::lock_guard lock(m_mutex);
    if (!m_initialised)
        return fail(audio_error::init);
    int error = audio_error::ok;
    std::unique_ptr<PcmSource> source = open_sound_file(std::move(bytes), error);
    if (!source)
        return fail(error);
    return add_stream(std::move(source));
}

AudioHandle AudioLibrary::stream_create(std::unique_ptr<PcmSource> source)
{
    std::lock_guard lock(m_mutex);
    if (!m_initialised)
        return fail(audio_error::init);
    return add_stream(std::move(source));
}

AudioHandle AudioLibrary::add_stream(std::unique_ptr<PcmSource> source)
{
    const AudioHandle handle = next_handle();
    Channel& channel = m_channels[handle];
    channel.rate = source->rate();
    channel.channels = source->channels();
    channel.frequency = float(channel.rate);
    channel.stream = std::make_shared<Stream>(std::move(source));
    succeed();
    return handle;
}

bool AudioLibrary::stream_free(AudioHandle stream)
{
    std::lock_guard lock(m_mutex);
    Channel* channel = find_channel(stream);
    if (!channel)
        return false;
    if (!channel->stream)
        return fail(audio_error::handle);
    m_channels.erase(stream);
    return succeed();
}

std::uint32_t AudioLibrary::channel_flags(AudioHandle handle, std::uint32_t flags, std::uint32_t mask)
{
    std::lock_guard lock(m_mutex);
    Channel* channel = find_channel(handle);
    if (!channel)
        return 0;
    if (mask & audio_loop)
        channel->loop = (flags & audio_loop) != 0;
    succeed();
    return channel->loop ? audio_loop : 0;
}

bool AudioLibrary::channel_set_attribute(AudioHandle handle, AudioAttribute attribute, float value)
{
    std::lock_guard lock(m_mutex);
    Channel* channel = find_channel(handle);
    if (!channel)
        return false;
    if (std::isnan(value))
        return fail(audio_error::illegal_param);
    switch (attribute) {
    case AudioAttribute::volume:
        channel->volume = std::max(value, 0.0f);
        break;
    case AudioAttribute::pan:
        channel->pan = std::clamp(value, -1.0f, 1.0f);
        break;
    case AudioAttribute::frequency:
        channel->frequency = value == 0.0f ? float(channel->rate) : std::clamp(value, min_frequency, max_frequency);
        break;
    }
    return succeed();
}

bool AudioLibrary::channel_get_attribute(AudioHandle handle, AudioAttribute attribute, float* value)
{
    std::lock_guard lock(m_mutex);
    Channel* channel = find_channel(handle);
    if (!channel)
        return false;
    if (!value)
        return fail(audio_error::illegal_param);
    switch (attribute) {
    case AudioAttribute::volume:
        *value = channel->volume;
        break;
    case AudioAttribute::pan:
        *value = channel->pan;
        break;
    case AudioAttribute::frequency:
        *value = channel->frequency;
        break;
    }
    return succeed();
}

int AudioLibrary::channel_is_active(AudioHandle handle)
{
    std::lock_guard lock(m_mutex);
    Channel* channel = find_channel(handle);
    if (!channel)
        return audio_stopped;
    succeed();
    return channel->playing ? audio_playing : audio_stopped;
}

bool AudioLibrary::channel_play(AudioHandle handle, bool restart)
{
    std::unique_lock lock(m_mutex);
    Channel* channel = find_channel(handle);
    if (!channel)
        return false;
    if (m_stopped && m_pause_no_play)
        return fail(audio_error::start);
    const std::int64_t length = length_frames(*channel);
    if ((restart || (length >= 0 && position_frame(*channel) >= length)) && !move_to(*channel, 0))
        return fail(audio_error::position);
    channel->playing = true;
    succeed();
    const bool resume = std::exchange(m_stopped, false);
    lock.unlock();
    if (resume)
        m_output->set_paused(false);
    return true;
}

bool AudioLibrary::channel_stop(AudioHandle handle)
{
    std::lock_guard lock(m_mutex);
    Channel* channel = find_channel(handle);
    if (!channel)
        return false;
    channel->playing = false;
    return succeed();
}

std::int64_t AudioLibrary::length_frames(const Channel& channel) const
{
    return channel.stream ? channel.stream->length : channel.pcm->frames();
}

std::int64_t AudioLibrary::position_frame(const Channel& channel) const
{
    const std::int64_t frame = std::int64_t(channel.position >> mix_fraction_bits);
    if (!channel.stream)
        return frame;
    const std::int64_t length = length_frames(channel);
    const std::int64_t at = channel.stream->first + frame;
    if (length < 0 || at < length)
        return at;
    // A looping stream's window runs on past the end into frame 0.
    return channel.loop && length > 0 ? at % length : length;
}

bool AudioLibrary::move_to(Channel& channel, std::int64_t frame)
{
    channel.position = 0;
    if (!channel.stream) {
        channel.position = std::uint64_t(frame) << mix_fraction_bits;
        return true;
    }
    Stream& stream = *channel.stream;
    // Waits for a piece the output's thread is decoding for this stream.
    std::lock_guard decoding(stream.decode_mutex);
    stream.window.clear();
    stream.first = frame;
    stream.source_ended = false;
    return stream.source->seek(frame);
}

std::uint64_t AudioLibrary::channel_get_length(AudioHandle handle)
{
    std::lock_guard lock(m_mutex);
    if (const auto sample = m_samples.find(handle); m_initialised && sample != m_samples.end()) {
        succeed();
        return std::uint64_t(sample->second.pcm->frames()) * frame_bytes(sample->second.pcm->channels);
    }
    Channel* channel = find_channel(handle);
    if (!channel)
        return audio_no_bytes;
    const std::int64_t frames = length_frames(*channel);
    if (frames < 0) {
        fail(audio_error::not_available);
        return audio_no_bytes;
    }
    succeed();
    return std::uint64_t(frames) * frame_bytes(channel->channels);
}

std::uint64_t AudioLibrary::channel_get_position(AudioHandle handle)
{
    std::lock_guard lock(m_mutex);
    Channel* channel = find_channel(handle);
    if (!channel)
        return audio_no_bytes;
    succeed();
    return std::uint64_t(position_frame(*channel)) * frame_bytes(channel->channels);
}

bool AudioLibrary::channel_set_position(AudioHandle handle, std::uint64_t bytes)
{
    std::lock_guard lock(m_mutex);
    Channel* channel = find_channel(handle);
    if (!channel)
        return false;
    const std::uint64_t frame = bytes / frame_bytes(channel->channels);
    const std::int64_t length = length_frames(*channel);
    if ((length >= 0 && frame > std::uint64_t(length)) || frame > std::uint64_t(pcm_max_rate) * 86400)
        return fail(audio_error::position);
    if (!move_to(*channel, std::int64_t(frame))) {
        move_to(*channel, 0);
        return fail(audio_error::position);
    }
    return succeed();
}

double AudioLibrary::channel_bytes_to_seconds(AudioHandle handle, std::uint64_t bytes)
{
    std::lock_guard lock(m_mutex);
    if (const auto sample = m_samples.find(handle); m_initialised && sample != m_samples.end()) {
        succeed();
        const Pcm& pcm = *sample->second.pcm;
        return double(bytes) / double(frame_bytes(pcm.channels) * std::uint64_t(pcm.rate));
    }
    Channel* channel = find_channel(handle);
    if (!channel)
        return -1.0;
    succeed();
    return double(bytes) / double(frame_bytes(channel->channels) * std::uint64_t(channel->rate));
}

std::uint64_t AudioLibrary::channel_seconds_to_bytes(AudioHandle handle, double seconds)
{
    std::lock_guard lock(m_mutex);
    Channel* channel = find_channel(handle);
    if (!channel)
        return audio_no_bytes;
    if (!(seconds >= 0.0) || seconds > 86400.0) {
        fail(audio_error::illegal_param);
        return audio_no_bytes;
    }
    succeed();
    return std::uint64_t(seconds * channel->rate) * frame_bytes(channel->channels);
}

void AudioLibrary::plan_decodes(int frames)
{
    std::lock_guard lock(m_mutex);
    for (auto& [handle, channel] : m_channels) {
        if (!channel.playing || !channel.stream)
            continue;
        Stream& stream = *channel.stream;
        // Drop what was played; the window starts at the frame being read.
        const std::int64_t played = std::int64_t(channel.position >> mix_fraction_bits);
        const std::int64_t held = std::int64_t(stream.window.size()) / stream.channels;
        const std::int64_t drop = std::min(played, held);
        stream.window.erase(stream.window.begin(), stream.window.begin() + drop * stream.channels);
        stream.first += drop;
        if (stream.length > 0)
            stream.first %= stream.length;
        channel.position -= std::uint64_t(drop) << mix_fraction_bits;

        const std::uint64_t step = mix_step(channel.frequency, m_rate);
        const std::uint64_t reach = (channel.position & (mix_one_frame - 1)) + step * std::uint64_t(frames);
        const std::int64_t needed = std::int64_t(reach >> mix_fraction_bits) + 2;
        if (!stream.source_ended && held - drop < needed)
            m_decodes.push_back({channel.stream, needed, channel.loop});
    }
}

void AudioLibrary::decode(Decode& piece)
{
    Stream& stream = *piece.stream;
    std::lock_guard decoding(stream.decode_mutex);
    bool wrapped = false;
    while (!stream.source_ended && std::int64_t(stream.window.size()) / stream.channels < piece.frames) {
        const std::size_t at = stream.window.size();
        const std::int64_t want = std::max(piece.frames - std::int64_t(at) / stream.channels, stream_piece_frames);
        stream.window.resize(at + std::size_t(want * stream.channels));
        const std::int64_t got = stream.source->read(stream.window.data() + at, want);
        stream.window.resize(at + std::size_t(got * stream.channels));
        if (got > 0) {
            wrapped = false;
            continue;
        }
        // At the end: a looping stream reads on from its beginning, unless that gives nothing.
        if (!piece.loop || wrapped || !stream.source->seek(0))
            stream.source_ended = true;
        wrapped = true;
    }
}

MixVoice AudioLibrary::voice_of(Channel& channel)
{
    MixVoice voice;
    voice.position = channel.position;
    voice.step = mix_step(channel.frequency, m_rate);
    const float global = float(channel.stream ? m_stream_volume : m_sample_volume) / 10000.0f;
    const float gain = channel.volume * global / 32768.0f;
    voice.left = gain * std::min(1.0f, 1.0f - channel.pan);
    voice.right = gain * std::min(1.0f, 1.0f + channel.pan);
    voice.source.channels = channel.channels;
    if (channel.stream) {
        voice.source.samples = channel.stream->window.data();
        voice.source.frames = std::int64_t(channel.stream->window.size()) / channel.channels;
        voice.loop = false;
    } else {
        voice.source.samples = channel.pcm->samples.data();
        voice.source.frames = channel.pcm->frames();
        voice.loop = channel.loop;
    }
    return voice;
}

void AudioLibrary::render(float* out, int frames)
{
    // Streams decode first, outside the lock, so that the main thread never waits for them.
    plan_decodes(frames);
    for (Decode& piece : m_decodes)
        decode(piece);
    m_decodes.clear();

    std::lock_guard lock(m_mutex);
    m_voices.clear();
    m_mixed.clear();
    for (auto& [handle, channel] : m_channels) {
        if (!channel.playing)
            continue;
        m_voices.push_back(voice_of(channel));
        m_mixed.push_back(&channel);
    }
    mix_voices(m_voices, std::span<float>(out, std::size_t(frames) * 2));
    for (std::size_t i = 0; i < m_voices.size(); ++i) {
        Channel& channel = *m_mixed[i];
        channel.position = m_voices[i].position;
        if (m_voices[i].ended) {
            // An ended channel stands at its end. A stream whose window ran dry before its
            // source ended (it was moved while a piece was decoded) plays on at the next mix.
            const std::int64_t end = channel.stream ? std::int64_t(channel.stream->window.size()) / channel.channels
                                                    : channel.pcm->frames();
            channel.position = std::uint64_t(end) << mix_fraction_bits;
            channel.playing = channel.stream && !channel.stream->source_ended;
        }
    }
}

}
