#include "engine/host/audio/pcm_buffer_source.h"

#include <algorithm>

namespace kq {

std::int64_t PcmBufferSource::read(std::int16_t* out, std::int64_t frames)
{
    const std::int64_t n = std::clamp<std::int64_t>(m_pcm.frames() - m_position, 0, frames);
    const auto begin = m_pcm.samples.begin() + m_position * m_pcm.channels;
    std::copy(begin, begin + n * m_pcm.channels, out);
    m_position += n;
    return n;
}

bool PcmBufferSource::seek(std::int64_t frame)
{
    if (frame < 0 || frame > m_pcm.frames())
        return false;
    m_position = frame;
    return true;
}

}
