#pragma once

#include "engine/res/simple_res_loader.h"

namespace kq {

/// Loads a `Sprite` resource: a file holding one sprite tree in the binary object format.
class SpriteLoader : public SimpleResLoader
{
public:
    /// The root sprite read from the file; a damaged file throws the stream's error.
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) override;
};

}
