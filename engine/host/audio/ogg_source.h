#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/host/audio/pcm.h"
#include "engine/host/audio/pcm_source.h"

namespace kq {

/// An Ogg Vorbis file decoded piece by piece from its own copy in memory.
class OggSource : public PcmSource
{
public:
    /// Opens the file's bytes; null with the `audio_error` code in `error` (`file_form` for
    /// data that is no readable Ogg Vorbis, `format` for an unplayable rate or channel count).
    static std::unique_ptr<OggSource> open(std::vector<unsigned char> bytes, int& error);
    ~OggSource() override;
    OggSource(const OggSource&) = delete;
    OggSource& operator=(const OggSource&) = delete;

    int rate() const override { return m_rate; }
    int channels() const override { return m_channels; }
    std::int64_t length() const override { return m_length; }
    /// Decodes up to `frames` frames; stops early at the end, at a damaged stretch it can
    /// not pass, or where a chained section changes the channel count or rate.
    std::int64_t read(std::int16_t* out, std::int64_t frames) override;
    bool seek(std::int64_t frame) override;

private:
    struct Impl;
    explicit OggSource(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> m_impl;
    int m_rate = 0;
    int m_channels = 0;
    std::int64_t m_length = -1;
};

/// Decodes a whole Ogg Vorbis file held in memory. Returns 0 or the `audio_error` code.
int decode_ogg(const void* data, std::size_t size, Pcm& out);

}
