#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/host/audio/pcm.h"
#include "engine/host/audio/pcm_source.h"

namespace kq {

/// Decodes a whole sound file held in memory, a WAV or an Ogg Vorbis file told apart by its
/// first bytes. Returns 0 or the `audio_error` code (`file_form` for anything else).
int decode_sound_file(const void* data, std::size_t size, Pcm& out);

/// Opens a sound file for reading piece by piece, over the given copy of its bytes (an Ogg
/// Vorbis file decodes as it is read, a WAV file is decoded at once). Null with the
/// `audio_error` code in `error` when it can not be read.
std::unique_ptr<PcmSource> open_sound_file(std::vector<unsigned char> bytes, int& error);

}
