#include "engine/host/audio/wav_decoder.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include <SDL.h>

#include "engine/host/audio/audio_codes.h"

namespace kq {

namespace {

// The buffer SDL's reader hands out, freed with SDL's own allocator.
struct WavBuffer
{
    Uint8* bytes = nullptr;
    Uint32 length = 0;
    ~WavBuffer() { SDL_FreeWAV(bytes); }
};

// Converts SDL's decoded data to signed 16-bit samples of at most two channels.
int convert(const SDL_AudioSpec& spec, const WavBuffer& wav, Pcm& out)
{
    const int channels = spec.channels >= 2 ? 2 : 1;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, channels, spec.freq) < 0)
        return audio_error::format;
    if (std::int64_t(wav.length) * cvt.len_mult > INT_MAX)
        return audio_error::memory;
    out.rate = spec.freq;
    out.channels = channels;
    out.samples.clear();
    if (wav.length == 0)
        return audio_error::ok;
    std::vector<Uint8> buffer(std::size_t(wav.length) * cvt.len_mult);
    std::memcpy(buffer.data(), wav.bytes, wav.length);
    cvt.buf = buffer.data();
    cvt.len = int(wav.length);
    if (cvt.needed && SDL_ConvertAudio(&cvt) < 0)
        return audio_error::format;
    const std::size_t bytes = cvt.needed ? std::size_t(cvt.len_cvt) : wav.length;
    const std::size_t frame_bytes = sizeof(std::int16_t) * channels;
    out.samples.resize(bytes / frame_bytes * channels);
    std::copy_n(buffer.data(), out.samples.size() * sizeof(std::int16_t),
                reinterpret_cast<Uint8*>(out.samples.data()));
    return audio_error::ok;
}

// Whether every chunk after the RIFF header fits in what is left of the file: SDL's reader
// allocates what a chunk header claims before it reads.
bool chunks_fit(const unsigned char* bytes, std::size_t size)
{
    constexpr std::size_t riff_header = 12;
    constexpr std::size_t chunk_header = 8;
    std::size_t at = riff_header;
    while (at + chunk_header <= size) {
        const std::uint32_t length = std::uint32_t(bytes[at + 4]) | std::uint32_t(bytes[at + 5]) << 8 |
                                     std::uint32_t(bytes[at + 6]) << 16 | std::uint32_t(bytes[at + 7]) << 24;
        if (length > size - at - chunk_header)
            return false;
        at += chunk_header + length + (length & 1);
    }
    return true;
}

}

int decode_wav(const void* data, std::size_t size, Pcm& out)
{
    if (size == 0 || size > std::size_t(INT_MAX) || !chunks_fit(static_cast<const unsigned char*>(data), size))
        return audio_error::file_form;
    SDL_RWops* bytes = SDL_RWFromConstMem(data, int(size));
    if (!bytes)
        return audio_error::memory;
    SDL_AudioSpec spec;
    WavBuffer wav;
    if (!SDL_LoadWAV_RW(bytes, 1, &spec, &wav.bytes, &wav.length))
        return audio_error::file_form;
    if (!is_playable_format(spec.freq, spec.channels >= 2 ? 2 : 1))
        return audio_error::format;
    const int error = convert(spec, wav, out);
    if (error == audio_error::ok && out.frames() > pcm_max_frames)
        return audio_error::memory;
    return error;
}

}
