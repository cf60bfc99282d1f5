#include "engine/platform/texture_atlas_loader.h"

#include "engine/base/file_path.h"
#include "engine/base/tstream.h"
#include "engine/platform/texture_atlas.h"

namespace kq {

SharedPtr<Resource> TextureAtlasLoader::load_from_stream(ResStream& stream, const ResRequest& request)
{
    if (!stream.m_buffer)
        return {};
    const std::string extension = FilePath(request.m_key.m_path).extension();
    SharedPtr<TextureAtlas> atlas(new TextureAtlas);
    bool read = false;
    if (extension == "ta") {
        Stream binary(*stream.m_buffer);
        read = atlas->read_binary(binary);
    } else if (extension == "res") {
        TStream text(*stream.m_buffer);
        read = atlas->read_text(text);
    }
    return read ? SharedPtr<Resource>(atlas) : SharedPtr<Resource>();
}

}
