#pragma once

#include "engine/art/spline_keyed.h"
#include "engine/base/binary_io.h"
#include "engine/base/type_name.h"
#include "engine/base/vector_d.h"

namespace kq {

/// A key of a curve spline: its value and the bend of the interval it ends. A key made by a
/// lookup of a time without one holds [0] and the bend -1 (not set yet).
template <class V>
struct CurveValueRecord : BinaryIO
{
    CurveValueRecord() { value.resize(1); }

    /// The value, then the f32 bend.
    void store(BStream& stream) const override;
    void load(BStream& stream) override;

    V value;
    float bend = -1.0f;
};

/// The spline whose every interval is shaped by the bend of the key ending it: with
/// u = (t - t0) / (t1 - t0), k = tan(bend * pi/2) and s = u / ((1 - k) * u + k) the value is
/// p0 + (p1 - p0) * s. A bend of 0.5 is a straight line, a smaller one reaches the end value
/// early, a larger one holds the start value until late. It has no tracker and no text form
/// (both text operations do nothing).
template <class T, class V>
class CurveSpline : public KeyedSpline<T, V, CurveValueRecord<V>>
{
    using Base = KeyedSpline<T, V, CurveValueRecord<V>>;

public:
    using ValueRecord = CurveValueRecord<V>;
    using typename Base::KeyIterator;
    using typename Spline<T, V>::Tracker;

    V value(T t) const override { return evaluate(t, this->m_keys.upper_bound(t)); }
    /// The value at t, with `next` the first key later than t (or the end): the first key's
    /// value when `next` is the first key, the last key's at the end, else the shaped
    /// interpolation. At the very start of an interval whose end has the bend 0 (where the
    /// shape is 0 / 0) the value is the start value.
    V evaluate(T t, KeyIterator next) const;
    /// Always an empty pointer.
    SharedPtr<Tracker> create_tracker() const override { return {}; }

    /// Sets the value; the bend becomes 0.5.
    void set_key(T t, const V& v) override;
    /// Sets the value; a new key (or one whose bend is not set) gets the bend 0.5, then a
    /// `bend` of 0 or more replaces the key's bend, while a negative one keeps it.
    void set_key(T t, const V& v, float bend);

    void write_text(TStream&) const override {}
    void read_text(TStream&) override {}
};

extern template class CurveSpline<float, VectorD<float>>;

}

template <>
struct kq::TypeNameOf<kq::CurveSpline<float, kq::VectorD<float>>>
{
    static constexpr const char* value = "class kq::CurveSpline<float,class kq::VectorD<float> >";
};
