// Feeds any input to both image decoders: the texture decoder of the host layer (which
// chooses the format by content) and the bitmap decoders under each of their extensions.
// Refusing the input (false, or the stream's error for a truncated header) is expected;
// anything else (another exception, a crash, a hang, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/stream.h"
#include "engine/host/gpu/image_decode.h"
#include "engine/platform/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kq::host::RgbaImage image;
    std::string error;
    if (kq::host::decode_image({data, size}, image, error) &&
        image.pixels.size() != std::size_t(image.width) * image.height * 4)
        __builtin_trap();

    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const char* extension : {"tga", "jpg", "dds", "png"}) {
        kq::StringBuffer buffer(bytes);
        kq::Stream stream(buffer);
        kq::Bitmap bitmap;
        try {
            if (bitmap.decode(extension, stream) && bitmap.total_size() != 0 && !bitmap.data())
                __builtin_trap();
        } catch (const kq::IOException&) {
        }
    }
    return 0;
}
