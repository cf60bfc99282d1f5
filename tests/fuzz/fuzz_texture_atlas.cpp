// Reads any input as a texture atlas, in the binary form and in the text form; stream errors
// are expected exceptions, anything else (a crash, a hang, a huge allocation, a sanitizer
// report) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/stream.h"
#include "engine/base/tstream.h"
#include "engine/platform/texture_atlas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    try {
        kq::StringBuffer buffer(input);
        kq::Stream stream(buffer);
        kq::TextureAtlas atlas;
        atlas.read_binary(stream);
    } catch (const kq::Exception&) {
    }
    try {
        kq::StringBuffer buffer(input);
        kq::TStream stream(buffer);
        kq::TextureAtlas atlas;
        atlas.read_text(stream);
    } catch (const kq::Exception&) {
    }
    return 0;
}
