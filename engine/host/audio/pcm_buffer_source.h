#pragma once

#include "engine/host/audio/pcm.h"
#include "engine/host/audio/pcm_source.h"

namespace kq {

/// Sound decoded whole beforehand, read as a stream.
class PcmBufferSource : public PcmSource
{
public:
    /// Takes the decoded sound.
    explicit PcmBufferSource(Pcm pcm) : m_pcm(std::move(pcm)) {}

    int rate() const override { return m_pcm.rate; }
    int channels() const override { return m_pcm.channels; }
    std::int64_t length() const override { return m_pcm.frames(); }
    std::int64_t read(std::int16_t* out, std::int64_t frames) override;
    bool seek(std::int64_t frame) override;

private:
    Pcm m_pcm;
    std::int64_t m_position = 0;
};

}
