#include "engine/host/audio/null/null_audio_output.h"

namespace kq {

bool NullAudioOutput::open(int device, int, Render render)
{
    if (m_open || (device == default_device && !m_has_device) ||
        (device != default_device && device != silent_device))
        return false;
    m_open = true;
    m_paused = false;
    m_render = std::move(render);
    return true;
}

void NullAudioOutput::close()
{
    m_open = false;
    m_render = nullptr;
}

std::vector<float> NullAudioOutput::pull(int frames)
{
    if (!m_open || m_paused || frames <= 0)
        return {};
    std::vector<float> out(std::size_t(frames) * 2);
    render_guarded(m_render, out.data(), frames);
    return out;
}

}
