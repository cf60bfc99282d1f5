#include "engine/host/audio/audio_output.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace kq {

std::string AudioOutput::take_render_failure()
{
    if (m_failure_state.load(std::memory_order_acquire) != kept)
        return {};
    std::string what(m_failure);
    m_failure_state.store(none, std::memory_order_release);
    return what;
}

void AudioOutput::render_guarded(const Render& render, float* out, int frames) noexcept
{
    try {
        render(out, frames);
        return;
    } catch (const std::exception& error) {
        keep_failure(error.what());
    } catch (...) {
        keep_failure("unknown exception");
    }
    std::fill(out, out + std::size_t(frames) * 2, 0.0f);
}

void AudioOutput::keep_failure(const char* what) noexcept
{
    // Only the first failure until it is taken: the taker never sees a half-written text.
    int expected = none;
    if (!m_failure_state.compare_exchange_strong(expected, writing, std::memory_order_acquire))
        return;
    std::strncpy(m_failure, what, sizeof(m_failure) - 1);
    m_failure[sizeof(m_failure) - 1] = '\0';
    m_failure_state.store(kept, std::memory_order_release);
}

}
