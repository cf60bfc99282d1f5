#pragma once

#include <cstddef>

#include "engine/host/audio/pcm.h"

namespace kq {

/// Decodes a whole WAV file held in memory into 16-bit data of its own rate, one or two
/// channels (more channels are mixed down to two). Returns 0, or the `audio_error` code:
/// `file_form` for data that is no readable WAV, `format` for a rate out of range.
int decode_wav(const void* data, std::size_t size, Pcm& out);

}
