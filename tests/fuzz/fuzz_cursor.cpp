// Reads any input as a cursor, icon and animated-cursor file; a refusal is the expected
// answer to damaged data, anything else (a crash, a read out of bounds, a hang) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/host/window/cursor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (const char* extension : {"cur", "ico", "ani"}) {
        kq::host::CursorFile file;
        std::string error;
        if (!kq::host::read_cursor_file(data, size, extension, file, error))
            continue;
        for (const kq::host::CursorImage& image : file.frames)
            if (image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
                __builtin_trap();
        for (const kq::host::CursorFile::Step& step : file.steps)
            if (step.frame < 0 || static_cast<std::size_t>(step.frame) >= file.frames.size() || step.duration_ms <= 0)
                __builtin_trap();
    }
    return 0;
}
