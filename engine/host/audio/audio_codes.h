#pragma once

#include <cstdint>

namespace kq {

/// A sample, stream or channel of the audio library; 0 names nothing.
using AudioHandle = std::uint32_t;

/// The result of an audio call that failed where the call returns a count of bytes.
inline constexpr std::uint64_t audio_no_bytes = ~std::uint64_t(0);

/// What the last audio call of the library reported; 0 when it succeeded.
namespace audio_error {
inline constexpr int ok = 0;
inline constexpr int memory = 1;         ///< out of memory
inline constexpr int driver = 3;         ///< no output device could be opened
inline constexpr int handle = 5;         ///< the handle names nothing of its kind
inline constexpr int format = 6;         ///< the data's format (rate, channels) is not supported
inline constexpr int position = 7;       ///< the position lies outside the data
inline constexpr int init = 8;           ///< the library is not initialised
inline constexpr int start = 9;          ///< the output is stopped
inline constexpr int already = 14;       ///< the library is initialised already
inline constexpr int no_channel = 18;    ///< every voice of the sample is busy
inline constexpr int illegal_param = 20; ///< a value is out of its range
inline constexpr int device = 23;        ///< no such device number
inline constexpr int not_available = 37; ///< the value is not known (an unknown length)
inline constexpr int file_form = 41;     ///< the data is not a sound file this library reads
}

/// Channel flags: the channel starts over at its end instead of stopping.
inline constexpr std::uint32_t audio_loop = 4;
/// Sample flags: when every voice of the sample is busy, a new channel takes over the voice
/// with the highest position.
inline constexpr std::uint32_t audio_override_highest_position = 0x20000;

/// Settings of the whole library.
enum class AudioConfig {
    sample_volume,  ///< global volume of sample channels, 0 to 10000
    stream_volume,  ///< global volume of stream channels, 0 to 10000
    pause_no_play,  ///< 1: channels can not be played while the output is stopped
};

/// Attributes of one channel.
enum class AudioAttribute {
    volume,     ///< 0 silent, 1 the data's own level
    pan,        ///< -1 left, 0 centre, 1 right
    frequency,  ///< playback rate in Hz; 0 sets the data's own rate
};

/// What `AudioLibrary::channel_is_active` answers.
inline constexpr int audio_stopped = 0;
inline constexpr int audio_playing = 1;

}
