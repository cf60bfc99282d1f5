#pragma once

#include "engine/res/simple_res_loader.h"

namespace kq {

/// Loads a `Bitmap` from a "tga", "jpg", "dds" or "png" file, chosen by the path's extension.
class BitmapLoader : public SimpleResLoader
{
public:
    /// The decoded bitmap; empty when the extension is none of those or the file is not
    /// understood. A truncated TGA or DDS header throws the stream's error. Logs nothing.
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) override;
};

}
