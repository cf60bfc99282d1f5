// Tokenises any input with the text data format reader, then reads it again as floats;
// format errors are expected exceptions, anything else (another exception, a crash, a hang,
// a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const bool as_floats : {false, true}) {
        try {
            kq::StringStream stream(text);
            float value = 0;
            while (!stream.is_eof()) {
                if (as_floats)
                    stream >> value;
                else
                    stream.skip_token();
            }
        } catch (const kq::IOException&) {
        }
    }
    return 0;
}
