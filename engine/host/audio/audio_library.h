#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/host/audio/audio_codes.h"
#include "engine/host/audio/audio_output.h"
#include "engine/host/audio/mixer.h"
#include "engine/host/audio/pcm.h"
#include "engine/host/audio/pcm_source.h"

namespace kq {

/// The sound library the engine plays through: an output device, samples decoded whole into
/// memory and played on up to a fixed number of voices each, streams decoded while they play,
/// and channels with volume, pan, frequency and byte positions. Positions and lengths count
/// bytes of 16-bit data at the channel's own rate and channel count.
///
/// Every call is made from one thread (the engine's main thread); the output device mixes on
/// its own thread under the library's lock. Streams decode on the output's thread outside
/// that lock, so no call waits for decoding, except a move of a stream's position, which
/// waits for a piece being decoded for that stream. Each call records its result in
/// `error_code` (0 on success). A handle that names nothing of the asked kind fails with
/// `audio_error::handle`; any call but `init` fails with `audio_error::init` before `init`.
class AudioLibrary
{
public:
    /// A library that plays through the output (a back end of `AudioOutput`).
    explicit AudioLibrary(std::unique_ptr<AudioOutput> output);
    /// Frees the library when initialised.
    ~AudioLibrary();
    AudioLibrary(const AudioLibrary&) = delete;
    AudioLibrary& operator=(const AudioLibrary&) = delete;

    /// Opens the output device (`AudioOutput::default_device` or `silent_device`) at `rate`;
    /// `already` when initialised, `device` for another number, `driver` when it will not open.
    bool init(int device, int rate);
    /// Stops the output: nothing advances until a channel is played again.
    bool stop();
    /// Closes the output and drops every sample, stream and channel.
    bool free();
    /// Sets a global setting; `illegal_param` for a volume outside 0 to 10000.
    bool set_config(AudioConfig option, int value);
    /// The result of the last call.
    int error_code() const;
    /// The name of the output driver in use ("" before `init`).
    std::string driver() const;
    /// The text of the first exception the mixing let out since the last call (the output
    /// played silence instead), or "".
    std::string take_render_failure() { return m_output->take_render_failure(); }

    /// A sample from a WAV or Ogg Vorbis file in memory (copied; the caller keeps its bytes),
    /// played by at most `max_voices` channels at once; `flags` may hold `audio_loop` and
    /// `audio_override_highest_position`. 0 on failure (`file_form`, `format`, `memory`,
    /// `illegal_param` for `max_voices` outside 1 to 65535).
    AudioHandle sample_load(const void* data, std::size_t size, int max_voices, std::uint32_t flags);
    /// A new channel of the sample, stopped at position 0 with volume 1, pan 0 and the
    /// sample's rate: a voice that is not playing is reused under a new handle (the old one
    /// names nothing afterwards); when all are busy, the override flag takes the voice with
    /// the highest position, else `no_channel`.
    AudioHandle sample_get_channel(AudioHandle sample);
    /// Stops every channel of the sample.
    bool sample_stop(AudioHandle sample);
    /// Frees the sample and its channels.
    bool sample_free(AudioHandle sample);

    /// A stream over a file's bytes, which the library keeps and decodes from while the
    /// stream plays (no reading outside the library). Also a channel handle. 0 on failure
    /// (`file_form`, `format`).
    AudioHandle stream_create(std::vector<unsigned char> bytes);
    /// A stream that plays the decoded sound of the source, read piece by piece from the
    /// output's thread as it plays (`source` not null). Also a channel handle. 0 on failure
    /// (`init`).
    AudioHandle stream_create(std::unique_ptr<PcmSource> source);
    /// Frees the stream.
    bool stream_free(AudioHandle stream);

    /// Changes the channel's flags under `mask` (only `audio_loop` is a channel flag);
    /// returns the flags after the change, 0 on failure.
    std::uint32_t channel_flags(AudioHandle channel, std::uint32_t flags, std::uint32_t mask);
    /// Sets an attribute: the volume is at least 0, the pan is clamped to [-1, 1], a
    /// frequency of 0 restores the data's own rate, others are clamped to [100, 1000000].
    bool channel_set_attribute(AudioHandle channel, AudioAttribute attribute, float value);
    /// Reads an attribute into `value`.
    bool channel_get_attribute(AudioHandle channel, AudioAttribute attribute, float* value);
    /// `audio_playing` or `audio_stopped` (also for a handle that names nothing).
    int channel_is_active(AudioHandle channel);
    /// Starts the channel: from the beginning when `restart`, else from its position (from the
    /// beginning again when it stands at its end). `start` while the output is stopped and
    /// the pause setting forbids playing.
    bool channel_play(AudioHandle channel, bool restart);
    /// Stops the channel where it is.
    bool channel_stop(AudioHandle channel);
    /// Length in bytes of a channel or a sample; `audio_no_bytes` on failure (`not_available`
    /// for a stream of unknown length).
    std::uint64_t channel_get_length(AudioHandle channel);
    /// Position in bytes; `audio_no_bytes` on failure.
    std::uint64_t channel_get_position(AudioHandle channel);
    /// Moves to a position in bytes (rounded down to a whole frame); `position` beyond the
    /// end or where a stream can not seek.
    bool channel_set_position(AudioHandle channel, std::uint64_t bytes);
    /// Seconds that `bytes` play at the own rate of a channel or a sample; negative on failure.
    double channel_bytes_to_seconds(AudioHandle channel, std::uint64_t bytes);
    /// Bytes of `seconds` at the channel's own rate, whole frames; `audio_no_bytes` on failure.
    std::uint64_t channel_seconds_to_bytes(AudioHandle channel, double seconds);

    /// Mixes `frames` stereo frames of every playing channel into `out` and advances them:
    /// what the output device calls from its thread.
    void render(float* out, int frames);

private:
    /// A stream's source and the window of sound decoded from it. The output's thread decodes
    /// into the window outside the library's lock, holding `decode_mutex`, and reads it while
    /// mixing under the library's lock; the main thread changes the source, the window and
    /// `source_ended` only under both locks (taken in that order). Shared, so that a stream
    /// freed while a piece is decoded lives until the piece is done.
    struct Stream
    {
        explicit Stream(std::unique_ptr<PcmSource> source);

        std::mutex decode_mutex;
        std::unique_ptr<PcmSource> source;
        const int channels;
        const std::int64_t length;
        /// Decoded frames from `first` on (wrapping to frame 0 when the stream loops).
        std::vector<std::int16_t> window;
        std::int64_t first = 0;
        bool source_ended = false;
    };
    /// A stream the output's thread decodes for before it mixes: until its window holds
    /// `frames` frames, reading on from the beginning when `loop`.
    struct Decode
    {
        std::shared_ptr<Stream> stream;
        std::int64_t frames = 0;
        bool loop = false;
    };
    struct Channel
    {
        AudioHandle sample = 0;  ///< the sample it plays; 0 for a stream
        std::shared_ptr<const Pcm> pcm;
        std::shared_ptr<Stream> stream;
        int rate = 0;
        int channels = 0;
        /// 32.32 frames: in the data for a sample, in the window for a stream.
        std::uint64_t position = 0;
        float volume = 1.0f;
        float pan = 0.0f;
        float frequency = 0.0f;
        bool loop = false;
        bool playing = false;
    };
    struct Sample
    {
        std::shared_ptr<const Pcm> pcm;
        int max_voices = 1;
        std::uint32_t flags = 0;
        std::vector<AudioHandle> channels;
    };

    bool fail(int code) const;
    bool succeed() const;
    AudioHandle next_handle();
    Channel* find_channel(AudioHandle handle);
    Sample* find_sample(AudioHandle handle);
    AudioHandle new_sample_channel(AudioHandle sample_handle, Sample& sample, std::size_t slot);
    std::int64_t length_frames(const Channel& channel) const;
    std::int64_t position_frame(const Channel& channel) const;
    bool move_to(Channel& channel, std::int64_t frame);
    AudioHandle add_stream(std::unique_ptr<PcmSource> source);
    void plan_decodes(int frames);
    static void decode(Decode& piece);
    MixVoice voice_of(Channel& channel);

    mutable std::mutex m_mutex;
    std::unique_ptr<AudioOutput> m_output;
    bool m_initialised = false;
    bool m_stopped = false;
    bool m_pause_no_play = true;
    int m_rate = 44100;
    int m_sample_volume = 10000;
    int m_stream_volume = 10000;
    mutable int m_error = audio_error::ok;
    AudioHandle m_last_handle = 0;
    std::map<AudioHandle, Sample> m_samples;
    std::map<AudioHandle, Channel> m_channels;
    // Kept between renders so that mixing allocates nothing once warm.
    std::vector<MixVoice> m_voices;
    std::vector<Channel*> m_mixed;
    /// Only the output's thread touches it, between the two holds of the lock in `render`.
    std::vector<Decode> m_decodes;
};

}
