#pragma once

#include <memory>

#include "engine/host/audio/audio_output.h"

namespace kq {

/// The output of the first back end that can play here: SDL (sdl/, which itself falls back
/// to its silent "dummy" driver when no sound card opens), else the null output (null/),
/// which has no device. A new back end is a folder beside them and a line here.
std::unique_ptr<AudioOutput> make_audio_output();

}
