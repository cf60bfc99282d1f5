#include "engine/art/sound_sprite.h"

#include <bit>

#include "engine/base/bstream.h"
#include "engine/base/math_utils.h"
#include "engine/base/string_stream.h"
#include "engine/base/tstream.h"
#include "engine/platform/audio.h"
#include "engine/res/skin.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t sound_version = 2;

constexpr OwnProperty sound_properties[] = {
    {sound_property_sample, "Sample"},
    {sound_property_volume, "Volume"},
};

bool read_flag(BStream& stream)
{
    return read_u8(stream) != 0;
}

}

SoundSprite::SoundSprite(const SoundSprite& other)
    : Sprite(other),
      m_sample(other.m_sample),
      m_variants(other.m_variants),
      m_volume(other.m_volume),
      m_loop(other.m_loop),
      m_panoramic(other.m_panoramic),
      m_random_start(other.m_random_start),
      m_perpetual(other.m_perpetual),
      m_sound_value(other.m_sound_value),
      m_sound(other.m_sound)
{
}

void SoundSprite::store(BStream& stream) const
{
    write_u8(stream, sound_version);
    Sprite::store(stream);
    m_sample.store(stream);
    write_u32(stream, static_cast<std::uint32_t>(m_variants.size()));
    for (const ResHandle<Sample>& variant : m_variants)
        variant.store(stream);
    write_u32(stream, std::bit_cast<std::uint32_t>(m_volume));
    write_u8(stream, m_panoramic);
    write_u8(stream, m_loop);
    write_u8(stream, m_random_start);
    write_u8(stream, m_perpetual);
    write_u32(stream, static_cast<std::uint32_t>(m_sound_value));
}

void SoundSprite::load(BStream& stream)
{
    const std::uint8_t version = read_u8(stream);
    if (version > sound_version)
        stream.error("unsupported version.");
    Sprite::load(stream);
    m_sample.load(stream);
    // Each handle takes at least ten bytes.
    m_variants.resize(read_count(stream, 10));
    for (ResHandle<Sample>& variant : m_variants)
        variant.load(stream);
    m_volume = std::bit_cast<float>(read_u32(stream));
    m_panoramic = read_flag(stream);
    m_loop = read_flag(stream);
    m_random_start = read_flag(stream);
    if (version >= 1)
        m_perpetual = read_flag(stream);
    if (version >= 2)
        m_sound_value = static_cast<std::int32_t>(read_u32(stream));
}

void SoundSprite::read_skin(const SkinPath& path)
{
    Sprite::read_skin(path);
    m_sample.read_name_from_skin(path + "sample");
    StringStream variants(get_skin_text(path + "variant_sample"));
    read_variants(variants, m_variants);
    read_skin_value(path + "volume", &m_volume);
    read_skin_value(path + "panoramic", &m_panoramic);
    read_skin_value(path + "loop", &m_loop);
    read_skin_value(path + "random_start", &m_random_start);
    read_skin_value(path + "perpetual", &m_perpetual);
}

void SoundSprite::read_variants(TStream& stream, std::vector<ResHandle<Sample>>& variants)
{
    variants.clear();
    // The opening token is taken whatever it is; documents write "{".
    stream.skip_token();
    while (!stream.token_is("}"))
        variants.emplace_back().read_text(stream);
    stream.expect("}");
}

void SoundSprite::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const OwnProperty* entry = answer_own_property(
        sound_properties, operation, id, data, passed_on,
        [](const OwnProperty& entry) {
            return entry.id == sound_property_sample ? type_name<ResHandle<Sample>>() : type_name<float>();
        },
        [](const OwnProperty&) { return 1; });
    if (passed_on)
        Sprite::property(operation, id, data);
    if (!entry)
        return;
    const bool sample = entry->id == sound_property_sample;
    if (operation == property_get) {
        if (sample)
            static_cast<ResHandle<Sample>*>(data)->copy_from(m_sample);
        else
            *static_cast<float*>(data) = m_volume;
    } else if (sample) {
        set_sample(*static_cast<const ResHandle<Sample>*>(data));
    } else {
        set_volume(*static_cast<const float*>(data));
    }
}

void SoundSprite::on_active_changed(bool active)
{
    Sprite::on_active_changed(active);
    if (!active && !m_perpetual)
        m_sound.stop();
}

void SoundSprite::start()
{
    Sprite::start();
    try_to_play();
}

void SoundSprite::visit_handles(const std::function<void(ResHandleBase&)>& visit)
{
    Sprite::visit_handles(visit);
    visit(m_sample);
}

void SoundSprite::on_visible_changed(bool visible)
{
    Sprite::on_visible_changed(visible);
    if (visible)
        try_to_play();
    else if (!m_perpetual)
        m_sound.stop();
}

void SoundSprite::prepare()
{
    Sprite::prepare();
    if (m_panoramic)
        m_sound.set_pan(pan_of(prepared_world().m[6]));
}

bool SoundSprite::may_play() const
{
    if (!is_started() || !own_bits_match())
        return false;
    if (parent() && !parent()->is_active_chain(true))
        return false;
    return is_shown(true);
}

float SoundSprite::pan_of(float x) const
{
    const Audio* audio = Audio::instance();
    return audio ? audio->pan_for_x(x) : 0.0f;
}

void SoundSprite::try_to_play()
{
    if (!may_play())
        return;
    ResHandle<Sample>& chosen =
        m_variants.empty() ? m_sample : m_variants[static_cast<std::size_t>(random_int(int(m_variants.size())))];
    const Sample* loaded = chosen.get();
    if (!loaded)
        return;
    m_sound.set_n(m_sound_value);
    const float pan = m_panoramic ? pan_of(world_position().x) : 0.0f;
    m_sound.play(loaded, m_loop, pan, m_volume, m_random_start ? -1 : 0);
}

void SoundSprite::set_sample(const ResHandle<Sample>& sample)
{
    if (m_sample == sample)
        return;
    m_sample.release();
    m_sample.copy_from(sample);
    try_to_play();
}

void SoundSprite::set_volume(float volume)
{
    m_volume = volume;
    m_sound.set_volume(volume);
}

}
