#include "engine/res/skin_readers.h"

#include "engine/base/color.h"
#include "engine/base/list_readers.h"
#include "engine/base/string_stream.h"
#include "engine/base/string_utils.h"
#include "engine/res/skin.h"

namespace kq {
namespace {

// Parses the text of the node at the path with `parse` over a stream of that text, so that
// errors name the text.
template <class Parse>
void parse_skin_text(const SkinPath& path, Parse parse)
{
    StringStream stream(get_skin_text(path));
    parse(stream);
}

}

template <>
void read_skin_value<bool>(const SkinPath& path, bool* out)
{
    parse_skin_text(path, [out](TStream& stream) {
        const std::string token = stream.read_token();
        if (token != "true" && token != "false")
            stream.error("unexpected symbol '" + token + "', must be 'true' or 'false'.");
        *out = token == "true";
    });
}

template <>
void read_skin_value<int>(const SkinPath& path, int* out)
{
    parse_skin_text(path, [out](TStream& stream) { *out = to_int(stream.read_token()); });
}

template <>
void read_skin_value<std::string>(const SkinPath& path, std::string* out)
{
    *out = get_skin_text(path);
}

template <>
void read_skin_value<float>(const SkinPath& path, float* out)
{
    parse_skin_text(path, [out](TStream& stream) { stream >> *out; });
}

template <>
void read_skin_value<Vector2<float>>(const SkinPath& path, Vector2<float>* out)
{
    parse_skin_text(path, [out](TStream& stream) { stream >> *out; });
}

template <>
void read_skin_value<Color>(const SkinPath& path, Color* out)
{
    parse_skin_text(path, [out](TStream& stream) { read_color(stream, *out); });
}

void read_vector2i(const SkinPath& path, Vector2<int>* out)
{
    parse_skin_text(path, [out](TStream& stream) { stream >> *out; });
}

void read_interned(const SkinPath& path, StrCache* out)
{
    *out = StrCache(get_skin_text(path).c_str());
}

void read_skin_name(const SkinPath& path, StrCache* out)
{
    read_interned(path, out);
}

void read_points(const SkinPath& path, std::vector<Vector2<float>>* out)
{
    parse_skin_text(path, [out](TStream& stream) { read_point_list(stream, *out); });
}

}
