#pragma once

// Sound files made in code for the audio tests: WAV files written byte by byte and Ogg
// Vorbis files encoded with the Vorbis encoder.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <vorbis/vorbisenc.h>

namespace kq::test {

inline void put_u32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

inline void put_u16(std::string& out, std::uint16_t value)
{
    out.push_back(char(value & 0xFF));
    out.push_back(char(value >> 8));
}

/// A PCM WAV file of the raw sample bytes (`bits` 8 or 16 per sample).
inline std::string make_wav_bytes(const std::string& data, int channels, int rate, int bits)
{
    std::string out = "RIFF";
    put_u32(out, std::uint32_t(36 + data.size()));
    out += "WAVEfmt ";
    put_u32(out, 16);
    put_u16(out, 1);
    put_u16(out, std::uint16_t(channels));
    put_u32(out, std::uint32_t(rate));
    put_u32(out, std::uint32_t(rate * channels * bits / 8));
    put_u16(out, std::uint16_t(channels * bits / 8));
    put_u16(out, std::uint16_t(bits));
    out += "data";
    put_u32(out, std::uint32_t(data.size()));
    return out + data;
}

/// A 16-bit PCM WAV file of the interleaved samples.
inline std::string make_wav(const std::vector<std::int16_t>& samples, int channels, int rate)
{
    std::string data;
    for (std::int16_t sample : samples)
        put_u16(data, std::uint16_t(sample));
    return make_wav_bytes(data, channels, rate, 16);
}

/// `frames` frames of a sine of `hz` at `amplitude` (of full scale), the same on every channel.
inline std::vector<std::int16_t> tone(int frames, int channels, int rate, double hz, double amplitude = 0.5)
{
    std::vector<std::int16_t> out;
    for (int i = 0; i < frames; ++i) {
        const double value = amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / rate);
        for (int c = 0; c < channels; ++c)
            out.push_back(std::int16_t(std::lround(value)));
    }
    return out;
}

/// An Ogg Vorbis file of the interleaved samples (none: a file with headers and no sound).
inline std::string make_ogg(const std::vector<std::int16_t>& samples, int channels, int rate)
{
    std::string out;
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, channels, rate, 0.5f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    ogg_page page;
    auto append = [&out](const ogg_page& p) {
        out.append(reinterpret_cast<const char*>(p.header), std::size_t(p.header_len));
        out.append(reinterpret_cast<const char*>(p.body), std::size_t(p.body_len));
    };

    ogg_packet header, header_comment, header_code;
    vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &header_comment);
    ogg_stream_packetin(&stream, &header_code);
    while (ogg_stream_flush(&stream, &page))
        append(page);

    const int frames = int(samples.size()) / channels;
    constexpr int piece = 1024;
    auto drain = [&] {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page))
                    append(page);
            }
        }
    };
    for (int at = 0; at < frames; at += piece) {
        const int n = std::min(piece, frames - at);
        float** buffer = vorbis_analysis_buffer(&dsp, n);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = float(samples[std::size_t((at + i) * channels + c)]) / 32768.0f;
        vorbis_analysis_wrote(&dsp, n);
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&stream, &page))
        append(page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

/// The largest absolute difference between two runs of floats of equal length.
inline float max_difference(const std::vector<float>& a, const std::vector<float>& b)
{
    float worst = a.size() == b.size() ? 0.0f : INFINITY;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        worst = std::max(worst, std::fabs(a[i] - b[i]));
    return worst;
}

}
