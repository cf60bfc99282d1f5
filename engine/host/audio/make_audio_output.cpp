#include "engine/host/audio/make_audio_output.h"

#include <SDL.h>

#include "engine/host/audio/null/null_audio_output.h"
#include "engine/host/audio/sdl/sdl_audio_output.h"

namespace kq {

std::unique_ptr<AudioOutput> make_audio_output()
{
    if (SDL_GetNumAudioDrivers() > 0)
        return std::make_unique<SdlAudioOutput>();
    return std::make_unique<NullAudioOutput>(false);
}

}
