#pragma once

#include <cstdint>

#include "engine/base/color.h"
#include "engine/base/vector2.h"
#include "engine/base/vector_d.h"

namespace kq {

class Stream;
class TStream;

/// The arithmetic and the stored forms of the values a spline interpolates: float vectors of
/// run-time length, points of the plane and colours.
///
/// Float vectors combine element by element over the left operand's element count; an element
/// the right operand lacks counts as 0, so keys of different lengths never read or write past
/// either vector.
namespace spline_value {

/// a + b.
VectorD<float> sum(const VectorD<float>& a, const VectorD<float>& b);
/// a - b.
VectorD<float> difference(const VectorD<float>& a, const VectorD<float>& b);
/// a * s.
VectorD<float> product(const VectorD<float>& a, float s);
/// a + (b - a) * s.
VectorD<float> blend(const VectorD<float>& a, const VectorD<float>& b, float s);
/// a += b.
void add_to(VectorD<float>& a, const VectorD<float>& b);
/// a -= b.
void subtract_from(VectorD<float>& a, const VectorD<float>& b);

Vector2<float> sum(Vector2<float> a, Vector2<float> b);
Vector2<float> difference(Vector2<float> a, Vector2<float> b);
Vector2<float> product(Vector2<float> a, float s);
Vector2<float> blend(Vector2<float> a, Vector2<float> b, float s);
void add_to(Vector2<float>& a, Vector2<float> b);

Color sum(const Color& a, const Color& b);
Color difference(const Color& a, const Color& b);
Color product(const Color& a, float s);
Color blend(const Color& a, const Color& b, float s);
void add_to(Color& a, const Color& b);

/// Writes a float as its 4 bytes, little-endian.
void write_float(Stream& stream, float value);
/// Reads a float written by `write_float`; "unexpected end of buffer." when short.
float read_float(Stream& stream);

/// Binary forms: a vector is its u32 element count and the elements; a point is x, y; a colour
/// r, g, b, a; every number 4 bytes. A count larger than what is left fails with "unexpected
/// end of buffer." before anything is allocated.
void store(Stream& stream, const VectorD<float>& value);
void load(Stream& stream, VectorD<float>& value);
void store(Stream& stream, Vector2<float> value);
void load(Stream& stream, Vector2<float>& value);
void store(Stream& stream, const Color& value);
void load(Stream& stream, Color& value);

/// Text forms: a vector is "{" the elements separated by a blank "}" (reading takes the opening
/// token without looking at it); a point is "(x,y)"; a colour is written by `write_color` and
/// read by `read_color`. A token that is not a number is the stream's error.
void write_text(TStream& stream, const VectorD<float>& value);
void read_text(TStream& stream, VectorD<float>& value);
void write_text(TStream& stream, Vector2<float> value);
void read_text(TStream& stream, Vector2<float>& value);
void write_text(TStream& stream, const Color& value);
void read_text(TStream& stream, Color& value);

/// Reads a key time as a float token; the stream's error for a token that is not a number or
/// is not a number at all ("nan"), which could not be ordered among the keys.
float read_time(TStream& stream);
/// Reads a key time in binary; a NaN time is the stream's error "invalid key time.".
float read_time(Stream& stream);

}

}
