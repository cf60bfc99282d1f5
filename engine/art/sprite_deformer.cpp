#include "engine/art/sprite_deformer.h"

#include "engine/art/sprite.h"
#include "engine/base/bstream.h"

namespace kq {

namespace {

constexpr std::uint8_t deformer_version = 0;

}

void SpriteDeformer::store(BStream& stream) const
{
    write_u8(stream, deformer_version);
    SpriteBase::store(stream);
}

void SpriteDeformer::load(BStream& stream)
{
    if (read_u8(stream) > deformer_version)
        stream.error("unsupported version.");
    SpriteBase::load(stream);
}

Sprite* SpriteDeformer::prepared_owner()
{
    Sprite* owner = owner_sprite();
    if (owner)
        owner->world_transform();
    return owner;
}

}
