#pragma once

#include "engine/platform/texture_loader.h"

namespace kq {

/// Makes a `DXTexture` from an image file, its mode the request's flags. A file that cannot
/// be decoded gives no texture; so does a request while no renderer runs (logged).
class DXTextureLoader : public TextureLoader
{
public:
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) override;
};

}
