// Reads arbitrary bytes as a dictionary in both forms and expands them as a marked-up text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/wstream.h"
#include "engine/res/dictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        kq::StringBuffer buffer(bytes);
        kq::Dictionary dictionary;
        dictionary.load_xml(buffer);
    } catch (const kq::Exception&) {
    }
    try {
        kq::StringBuffer buffer(bytes);
        kq::WStream stream(buffer);
        kq::Dictionary dictionary;
        dictionary.load_text(stream);
    } catch (const kq::Exception&) {
    }
    // A resolver whose every value names itself again: expansion must still end.
    kq::Dictionary::expand_macros(bytes, [](const std::string& name, std::string& text) {
        text = "<" + name + ">{&" + name + "}";
    });
    return 0;
}
