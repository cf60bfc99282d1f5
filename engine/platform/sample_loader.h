#pragma once

#include "engine/res/simple_res_loader.h"

namespace kq {

/// Loads `Sample`s: the key's flags choose the kind, 0 a `FlatSample`, 1 a `StreamSample`.
class SampleLoader : public SimpleResLoader
{
public:
    /// The loaded sample; empty for other flags or data the audio library can not read.
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) override;
};

}
