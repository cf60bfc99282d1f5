// Reads any input as a cursor, icon and animated-cursor file; a refusal is the expected
// answer to damaged data, anything else (a crash, a read out of bounds, a hang) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/host/window/cursor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (const char* extension : {"cur", "ico", "ani"}) {
        kq::host::CursorImage image;
        std::string error;
        if (kq::host::read_cursor_file(data, size, extension, image, error) &&
            image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
            __builtin_trap();
    }
    return 0;
}
