#include "engine/host/audio/sound_file.h"

#include <cstring>

#include "engine/host/audio/audio_codes.h"
#include "engine/host/audio/ogg_source.h"
#include "engine/host/audio/pcm_buffer_source.h"
#include "engine/host/audio/wav_decoder.h"

namespace kq {

namespace {

enum class Kind { wav, ogg, unknown };

Kind kind_of(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    if (size >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 && std::memcmp(bytes + 8, "WAVE", 4) == 0)
        return Kind::wav;
    if (size >= 4 && std::memcmp(bytes, "OggS", 4) == 0)
        return Kind::ogg;
    return Kind::unknown;
}

}

int decode_sound_file(const void* data, std::size_t size, Pcm& out)
{
    switch (kind_of(data, size)) {
    case Kind::wav:
        return decode_wav(data, size, out);
    case Kind::ogg:
        return decode_ogg(data, size, out);
    case Kind::unknown:
        break;
    }
    return audio_error::file_form;
}

std::unique_ptr<PcmSource> open_sound_file(std::vector<unsigned char> bytes, int& error)
{
    switch (kind_of(bytes.data(), bytes.size())) {
    case Kind::ogg:
        return OggSource::open(std::move(bytes), error);
    case Kind::wav: {
        Pcm pcm;
        error = decode_wav(bytes.data(), bytes.size(), pcm);
        if (error != audio_error::ok)
            return nullptr;
        return std::make_unique<PcmBufferSource>(std::move(pcm));
    }
    case Kind::unknown:
        break;
    }
    error = audio_error::file_form;
    return nullptr;
}

}
