#include "engine/host/audio/ogg_source.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <vorbis/vorbisfile.h>

#include "engine/host/audio/audio_codes.h"

namespace kq {

// The decoder reads the bytes through callbacks over the copy it owns.
struct OggSource::Impl
{
    std::vector<unsigned char> bytes;
    std::size_t position = 0;
    OggVorbis_File file{};
    bool open = false;

    ~Impl()
    {
        if (open)
            ov_clear(&file);
    }

    static size_t read(void* out, size_t size, size_t count, void* self)
    {
        auto& impl = *static_cast<Impl*>(self);
        if (size == 0)
            return 0;
        const std::size_t left = impl.bytes.size() - impl.position;
        const std::size_t n = std::min(count, left / size);
        if (n > 0)
            std::memcpy(out, impl.bytes.data() + impl.position, n * size);
        impl.position += n * size;
        return n;
    }

    static int seek(void* self, ogg_int64_t offset, int whence)
    {
        auto& impl = *static_cast<Impl*>(self);
        const std::int64_t base = whence == SEEK_SET   ? 0
                                  : whence == SEEK_CUR ? std::int64_t(impl.position)
                                                       : std::int64_t(impl.bytes.size());
        if (offset < -base || offset > std::int64_t(impl.bytes.size()) - base)
            return -1;
        impl.position = std::size_t(base + offset);
        return 0;
    }

    static long tell(void* self) { return long(static_cast<Impl*>(self)->position); }
};

std::unique_ptr<OggSource> OggSource::open(std::vector<unsigned char> bytes, int& error)
{
    auto impl = std::make_unique<Impl>();
    impl->bytes = std::move(bytes);
    const ov_callbacks callbacks{&Impl::read, &Impl::seek, nullptr, &Impl::tell};
    if (ov_open_callbacks(impl.get(), &impl->file, nullptr, 0, callbacks) != 0) {
        error = audio_error::file_form;
        return nullptr;
    }
    impl->open = true;
    const vorbis_info* info = ov_info(&impl->file, -1);
    if (!info || !is_playable_format(info->rate, info->channels)) {
        error = audio_error::format;
        return nullptr;
    }
    std::unique_ptr<OggSource> source(new OggSource(std::move(impl)));
    source->m_rate = int(info->rate);
    source->m_channels = info->channels;
    const ogg_int64_t length = ov_pcm_total(&source->m_impl->file, -1);
    source->m_length = length >= 0 ? length : -1;
    error = audio_error::ok;
    return source;
}

OggSource::OggSource(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

OggSource::~OggSource() = default;

std::int64_t OggSource::read(std::int16_t* out, std::int64_t frames)
{
    const int frame_bytes = int(sizeof(std::int16_t)) * m_channels;
    std::int64_t done = 0;
    int holes = 0;
    while (done < frames) {
        const long want = long(std::min<std::int64_t>(frames - done, 4096) * frame_bytes);
        int section = 0;
        const long got = ov_read(&m_impl->file, reinterpret_cast<char*>(out + done * m_channels), want,
                                 0, 2, 1, &section);
        if (got == OV_HOLE && ++holes < 64)
            continue;
        if (got <= 0)
            break;
        const vorbis_info* info = ov_info(&m_impl->file, section);
        if (!info || info->channels != m_channels || info->rate != m_rate)
            break;
        done += got / frame_bytes;
    }
    return done;
}

bool OggSource::seek(std::int64_t frame)
{
    return ov_pcm_seek(&m_impl->file, frame) == 0;
}

int decode_ogg(const void* data, std::size_t size, Pcm& out)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    int error = audio_error::ok;
    std::unique_ptr<OggSource> source = OggSource::open({bytes, bytes + size}, error);
    if (!source)
        return error;
    out.rate = source->rate();
    out.channels = source->channels();
    out.samples.clear();
    constexpr std::int64_t piece = 16384;
    for (;;) {
        if (out.frames() + piece > pcm_max_frames)
            return audio_error::memory;
        const std::size_t at = out.samples.size();
        out.samples.resize(at + std::size_t(piece * out.channels));
        const std::int64_t got = source->read(out.samples.data() + at, piece);
        out.samples.resize(at + std::size_t(got * out.channels));
        if (got == 0)
            return audio_error::ok;
    }
}

}
