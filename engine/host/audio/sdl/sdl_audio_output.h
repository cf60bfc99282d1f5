#pragma once

#include <cstdint>

#include "engine/host/audio/audio_output.h"

namespace kq {

/// The sound card through SDL: the default device under the driver SDL picks (the
/// environment's SDL_AUDIODRIVER first), the silent device under SDL's "dummy" driver.
class SdlAudioOutput : public AudioOutput
{
public:
    SdlAudioOutput() = default;
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    bool open(int device, int rate, Render render) override;
    void close() override;
    void set_paused(bool paused) override;
    std::string driver() const override;

private:
    static void callback(void* self, std::uint8_t* stream, int length);

    std::uint32_t m_device = 0;
    bool m_subsystem = false;
    Render m_render;
};

}
