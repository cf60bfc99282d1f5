#include "engine/art/spline_value.h"

#include <bit>
#include <cmath>
#include <vector>

#include <boost/lexical_cast.hpp>

#include "engine/base/bstream.h"
#include "engine/base/tstream.h"

namespace kq::spline_value {

namespace {

// Element i of v, or 0 past its end.
float element_or_zero(const VectorD<float>& v, std::uint32_t i)
{
    return i < v.size() ? v[i] : 0.0f;
}

}

VectorD<float> sum(const VectorD<float>& a, const VectorD<float>& b)
{
    VectorD<float> result(a);
    add_to(result, b);
    return result;
}

VectorD<float> difference(const VectorD<float>& a, const VectorD<float>& b)
{
    VectorD<float> result(a);
    subtract_from(result, b);
    return result;
}

VectorD<float> product(const VectorD<float>& a, float s)
{
    VectorD<float> result(a);
    for (float& element : result)
        element *= s;
    return result;
}

VectorD<float> blend(const VectorD<float>& a, const VectorD<float>& b, float s)
{
    return sum(a, product(difference(b, a), s));
}

void add_to(VectorD<float>& a, const VectorD<float>& b)
{
    for (std::uint32_t i = 0; i < a.size(); ++i)
        a[i] += element_or_zero(b, i);
}

void subtract_from(VectorD<float>& a, const VectorD<float>& b)
{
    for (std::uint32_t i = 0; i < a.size(); ++i)
        a[i] -= element_or_zero(b, i);
}

Vector2<float> sum(Vector2<float> a, Vector2<float> b)
{
    return {a.x + b.x, a.y + b.y};
}

Vector2<float> difference(Vector2<float> a, Vector2<float> b)
{
    return a - b;
}

Vector2<float> product(Vector2<float> a, float s)
{
    return a * s;
}

Vector2<float> blend(Vector2<float> a, Vector2<float> b, float s)
{
    return sum(a, (b - a) * s);
}

void add_to(Vector2<float>& a, Vector2<float> b)
{
    a = sum(a, b);
}

Color sum(const Color& a, const Color& b)
{
    return a + b;
}

Color difference(const Color& a, const Color& b)
{
    return a - b;
}

Color product(const Color& a, float s)
{
    return a * s;
}

Color blend(const Color& a, const Color& b, float s)
{
    return a + (b - a) * s;
}

void add_to(Color& a, const Color& b)
{
    a = a + b;
}

void write_float(Stream& stream, float value)
{
    write_u32(stream, std::bit_cast<std::uint32_t>(value));
}

float read_float(Stream& stream)
{
    return std::bit_cast<float>(read_u32(stream));
}

void store(Stream& stream, const VectorD<float>& value)
{
    write_u32(stream, value.size());
    for (float element : value)
        write_float(stream, element);
}

void load(Stream& stream, VectorD<float>& value)
{
    const std::uint32_t count = read_count(stream, 4);
    value.clear();
    value.resize(count);
    for (float& element : value)
        element = read_float(stream);
}

void store(Stream& stream, Vector2<float> value)
{
    write_float(stream, value.x);
    write_float(stream, value.y);
}

void load(Stream& stream, Vector2<float>& value)
{
    value.x = read_float(stream);
    value.y = read_float(stream);
}

void store(Stream& stream, const Color& value)
{
    for (float channel : {value.r, value.g, value.b, value.a})
        write_float(stream, channel);
}

void load(Stream& stream, Color& value)
{
    for (float* channel : {&value.r, &value.g, &value.b, &value.a})
        *channel = read_float(stream);
}

void write_text(TStream& stream, const VectorD<float>& value)
{
    stream.put_manip(t_io::open_brace);
    for (std::uint32_t i = 0; i < value.size(); ++i) {
        if (i > 0)
            stream << " ";
        stream << value[i];
    }
    stream.put_manip(t_io::close_brace);
}

void read_text(TStream& stream, VectorD<float>& value)
{
    value.clear();
    stream.skip_token();
    // Gathered first, so that a long list grows the vector once.
    std::vector<float> elements;
    for (;;) {
        stream.check_not_eof();
        if (stream.token_is("}")) {
            stream.skip_token();
            break;
        }
        float element = 0.0f;
        stream >> element;
        elements.push_back(element);
    }
    value.resize(static_cast<std::uint32_t>(elements.size()));
    for (std::uint32_t i = 0; i < value.size(); ++i)
        value[i] = elements[i];
}

void write_text(TStream& stream, Vector2<float> value)
{
    stream << "(" << value.x << "," << value.y << ")";
}

void read_text(TStream& stream, Vector2<float>& value)
{
    stream >> value;
}

void write_text(TStream& stream, const Color& value)
{
    write_color(stream, value);
}

void read_text(TStream& stream, Color& value)
{
    read_color(stream, value);
}

float read_time(TStream& stream)
{
    const std::string& token = stream.peek_token();
    float time = 0.0f;
    if (!boost::conversion::try_lexical_convert(token, time) || std::isnan(time))
        stream.error("invalid number '" + token + "'.");
    stream.skip_token();
    return time;
}

float read_time(Stream& stream)
{
    const float time = read_float(stream);
    if (std::isnan(time))
        stream.error("invalid key time.");
    return time;
}

}
