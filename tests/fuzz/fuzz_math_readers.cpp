// Reads any input as the text forms of the math types (point lists, colours, name maps);
// format errors are expected exceptions, anything else (a crash, a hang, a sanitizer
// report) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>


#include "engine/base/color.h"
#include "engine/base/exception.h"
#include "engine/base/list_readers.h"
#include "engine/base/string_stream.h"

namespace {

template <class Read>
void read_all(const std::string& text, Read read)
{
    try {
        kq::StringStream stream(text);
        while (!stream.is_eof())
            read(stream);
    } catch (const kq::IOException&) {
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    read_all(text, [](kq::TStream& stream) {
        std::vector<std::vector<kq::Vector2<float>>> lists;
        kq::read_point_lists(stream, lists);
    });
    read_all(text, [](kq::TStream& stream) {
        kq::Color color;
        kq::read_color(stream, color);
    });
    read_all(text, [](kq::TStream& stream) {
        kq::Vector2<int> point;
        stream >> point;
    });
    read_all(text, [](kq::TStream& stream) {
        std::map<std::string, int> map;
        kq::read_name_int_map(stream, map);
    });
    return 0;
}
