#include "engine/base/color.h"

#include "engine/base/math_utils.h"
#include "engine/base/tstream.h"

#include <algorithm>

namespace kq {

void Color::saturate()
{
    for (float* channel : {&r, &g, &b, &a})
        *channel = std::clamp(*channel, 0.0f, 1.0f);
}

bool operator==(const Color& p, const Color& q)
{
    return is_zero(p.r - q.r) && is_zero(p.g - q.g) && is_zero(p.b - q.b) && is_zero(p.a - q.a);
}

Color3 interpolate_color3(const Color3& a, const Color3& b, float t)
{
    return interpolate(a, b, t);
}

namespace {

// The opening bracket and the three colour channels, common to both colour forms.
void read_rgb(TStream& stream, float& r, float& g, float& b)
{
    stream.expect("(");
    stream >> r;
    stream.expect(",");
    stream >> g;
    stream.expect(",");
    stream >> b;
}

}

void read_color(TStream& stream, Color& color)
{
    read_rgb(stream, color.r, color.g, color.b);
    color.a = 1.0f;
    if (stream.token_is(",")) {
        stream.expect(",");
        stream >> color.a;
    }
    stream.expect(")");
}

void write_color(TStream& stream, const Color& color)
{
    stream << "(" << color.r << ", " << color.g << ", " << color.b;
    if (color.a != 1.0f)
        stream << ", " << color.a;
    stream << ")";
}

TStream& operator>>(TStream& stream, Color3& color)
{
    read_rgb(stream, color.r, color.g, color.b);
    stream.expect(")");
    return stream;
}

}
