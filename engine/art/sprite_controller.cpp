#include "engine/art/sprite_controller.h"

#include "engine/base/bstream.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t controller_version = 2;

}

void SpriteController::store(BStream& stream) const
{
    write_u8(stream, controller_version);
    SpriteBase::store(stream);
    write_u8(stream, m_momentary ? 1 : 0);
    write_u8(stream, m_fleeting ? 1 : 0);
}

void SpriteController::load(BStream& stream)
{
    const std::uint8_t version = read_u8(stream);
    if (version > controller_version)
        stream.error("unsupported version.");
    SpriteBase::load(stream);
    if (version >= 1)
        m_momentary = read_u8(stream) != 0;
    if (version >= 2)
        m_fleeting = read_u8(stream) != 0;
}

void SpriteController::read_skin(const SkinPath& path)
{
    SpriteBase::read_skin(path);
    read_skin_value(path + "momentary", &m_momentary);
    read_skin_value(path + "fleeting", &m_fleeting);
}

bool SpriteController::is_finished()
{
    if (is_transient() || !own_bits_match())
        return true;
    return SpriteBase::is_finished();
}

void SpriteController::update(const TimeStamp& stamp)
{
    SpriteBase::update(stamp);
    if (!m_momentary)
        apply();
}

void SpriteController::start()
{
    SpriteBase::start();
    apply();
}

void SpriteController::on_stop()
{
    if (m_fleeting)
        revert();
}

}
