// Tokenises any input with the text data format reader; format errors are expected
// exceptions, anything else (a crash, a hang, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        kq::StringStream stream(std::string(reinterpret_cast<const char*>(data), size));
        while (!stream.is_eof())
            stream.skip_token();
    } catch (const kq::IOException&) {
    }
    return 0;
}
