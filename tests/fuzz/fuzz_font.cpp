// Reads any input as a bitmap font description, then measures and lays out every character
// it defined; the stream's errors are expected, anything else (another exception, a crash, a
// hang, a sanitizer report) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/tstream.h"
#include "engine/platform/font.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kq::StringBuffer buffer(std::string(reinterpret_cast<const char*>(data), size));
    kq::Font font;
    try {
        kq::TStream stream(buffer);
        if (!font.parse(stream))
            return 0;
    } catch (const kq::IOException&) {
        return 0;
    }
    std::u16string text;
    for (const auto& [code, glyph] : font.glyphs())
        text += code;
    text += u'\n';
    std::vector<kq::Quad> quads;
    font.text_width(text.data(), text.data() + text.size());
    font.build_quads(quads, {0, 0}, text.data(), text.data() + text.size(), kq::Color{1, 1, 1, 1}, 0.5f);
    return 0;
}
