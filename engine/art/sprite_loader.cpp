#include "engine/art/sprite_loader.h"

#include "engine/art/sprite.h"
#include "engine/base/bstream.h"

namespace kq {

SharedPtr<Resource> SpriteLoader::load_from_stream(ResStream& stream, const ResRequest&)
{
    BStream binary(*stream.m_buffer);
    SharedPtr<Sprite> sprite;
    read_binary(binary, sprite);
    return sprite;
}

}
