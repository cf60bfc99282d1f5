#include "engine/host/audio/sdl/sdl_audio_output.h"

#include <SDL.h>

namespace kq {

namespace {

// Starts SDL's audio under the dummy driver, whatever the environment asks for.
bool init_dummy_driver()
{
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return started;
}

}

SdlAudioOutput::~SdlAudioOutput()
{
    close();
}

bool SdlAudioOutput::open(int device, int rate, Render render)
{
    if (m_subsystem || (device != default_device && device != silent_device))
        return false;
    m_subsystem = device == silent_device ? init_dummy_driver() : SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!m_subsystem)
        return false;
    m_render = std::move(render);
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlAudioOutput::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the device plays.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (m_device == 0) {
        close();
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlAudioOutput::close()
{
    if (m_device != 0)
        SDL_CloseAudioDevice(m_device);
    m_device = 0;
    if (m_subsystem)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_subsystem = false;
    m_render = nullptr;
}

void SdlAudioOutput::set_paused(bool paused)
{
    if (m_device != 0)
        SDL_PauseAudioDevice(m_device, paused ? 1 : 0);
}

std::string SdlAudioOutput::driver() const
{
    const char* name = m_device != 0 ? SDL_GetCurrentAudioDriver() : nullptr;
    return name ? name : "";
}

void SdlAudioOutput::callback(void* self, std::uint8_t* stream, int length)
{
    auto& output = *static_cast<SdlAudioOutput*>(self);
    output.render_guarded(output.m_render, reinterpret_cast<float*>(stream), length / int(2 * sizeof(float)));
}

}
