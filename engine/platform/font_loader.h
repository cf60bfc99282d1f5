#pragma once

#include "engine/res/simple_res_loader.h"

namespace kq {

/// Loads a `Font` from a ".fnt" description in either of its layouts.
class FontLoader : public SimpleResLoader
{
public:
    /// The font; empty for another extension or a file that is neither layout. Syntax errors
    /// leave as the stream's errors.
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) override;
};

}
