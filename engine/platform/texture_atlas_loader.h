#pragma once

#include "engine/res/simple_res_loader.h"

namespace kq {

/// Makes a `TextureAtlas` from a file: the binary form for the extension "ta", the text form
/// for "res"; any other file, or a text file not beginning with "Texture", gives no atlas.
/// Errors of a damaged file are the stream's.
class TextureAtlasLoader : public SimpleResLoader
{
public:
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) override;
};

}
