#pragma once

#include "engine/res/simple_res_loader.h"

namespace kq {

/// Loads a `Dictionary` from "xml" (XML form) and "dic" (text form in 16-bit units) files.
class DictionaryLoader : public SimpleResLoader
{
public:
    /// The dictionary read by the path's extension; empty for any other extension.
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) override;
};

}
