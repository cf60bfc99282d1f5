// Reads any input as a binary sprite file: one shared sprite tree in the binary object
// format. Stream and reflection errors are expected exceptions; anything else (a crash, a
// leak, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/art/art_types.h"
#include "engine/art/sprite.h"
#include "engine/base/base_types.h"
#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/platform/platform_types.h"
#include "engine/res/res_types.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool registered = [] {
        kq::register_base_types();
        kq::register_res_types();
        kq::register_platform_types();
        kq::register_art_types();
        return true;
    }();
    (void)registered;
    try {
        kq::StringBuffer buffer(std::string(reinterpret_cast<const char*>(data), size));
        kq::BStream stream(buffer);
        kq::SharedPtr<kq::Sprite> root;
        read_binary(stream, root);
    } catch (const kq::Exception&) {
    }
    return 0;
}
