#pragma once

#include "engine/art/spline_keyed.h"
#include "engine/art/spline_tracker.h"
#include "engine/base/color.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/base/vector_d.h"

namespace kq {

/// The spline that joins its keys by straight lines. Each key holds the value itself. It has a
/// text form: "{" then per key the time, ", " and the value, keys separated by a blank, then
/// "}", for example {0, {1 2} 0.5, {3 4}} for float vectors.
template <class T, class V>
class LinearSpline : public KeyedSpline<T, V, V>
{
    using Base = KeyedSpline<T, V, V>;

public:
    using typename Base::KeyIterator;
    using typename Base::KeyMap;
    using typename Spline<T, V>::Tracker;
    using MyTracker = SplineKeyTracker<LinearSpline>;

    V value(T t) const override { return evaluate(t, this->m_keys.upper_bound(t)); }
    /// The value at t, with `next` the first key later than t (or the end): the first key's
    /// value when `next` is the first key, the last key's at the end, else
    /// p0 + ((p1 - p0) * (t - t0)) * (1 / (t1 - t0)).
    V evaluate(T t, KeyIterator next) const;
    SharedPtr<Tracker> create_tracker() const override;

    /// Copies the keys; nothing when `out` is this spline's own key map.
    void get_keys(KeyMap& out) const override;
    /// Takes the keys as they are; nothing when `in` is this spline's own key map.
    void set_keys(const KeyMap& in) override;
    void set_key(T t, const V& v) override { this->m_keys[t] = v; }

    void write_text(TStream& stream) const override;
    /// Replaces the keys from the text form. A missing "," or bracket is the stream's expect
    /// error, the end of the text before the closing "}" its end-of-file error and a bad number
    /// its number error; the keys read before stay.
    void read_text(TStream& stream) override;
};

extern template class LinearSpline<float, VectorD<float>>;
extern template class LinearSpline<float, Vector2<float>>;
extern template class LinearSpline<float, Color>;

}

template <>
struct kq::TypeNameOf<kq::LinearSpline<float, kq::VectorD<float>>>
{
    static constexpr const char* value = "class kq::LinearSpline<float,class kq::VectorD<float> >";
};
