#pragma once

#include "engine/art/spline_keyed.h"
#include "engine/art/spline_tracker.h"
#include "engine/base/binary_io.h"
#include "engine/base/type_name.h"
#include "engine/base/vector2.h"
#include "engine/base/vector_d.h"

namespace kq {

/// A key of a cubic spline: its value and the tangents leaving and reaching it, which the
/// spline derives from the neighbouring keys. Only the value is stored.
template <class V>
struct CubicValueRecord : BinaryIO
{
    /// The value alone.
    void store(BStream& stream) const override;
    void load(BStream& stream) override;

    V value{};
    /// Tangent leaving the key, used when the key starts an interval.
    mutable V out_tangent{};
    /// Tangent arriving at the key, used when the key ends an interval.
    mutable V in_tangent{};
};

/// The smooth spline: every interval is a cubic Hermite polynomial whose tangents come from
/// the neighbouring keys. The tangents are computed for all keys in one pass, the first time an
/// inner interval is evaluated after a change of the keys. It has no text form (both text
/// operations do nothing).
template <class T, class V>
class CubicSpline : public KeyedSpline<T, V, CubicValueRecord<V>>
{
    using Base = KeyedSpline<T, V, CubicValueRecord<V>>;

public:
    using ValueRecord = CubicValueRecord<V>;
    using typename Base::KeyIterator;
    using typename Spline<T, V>::Tracker;
    using MyTracker = SplineKeyTracker<CubicSpline>;

    V value(T t) const override { return evaluate(t, this->m_keys.upper_bound(t)); }
    /// The value at t, with `next` the first key later than t (or the end): the first key's
    /// value when `next` is the first key, the last key's at the end (neither brings the
    /// tangents up to date), else the Hermite polynomial of the interval ending at `next`.
    V evaluate(T t, KeyIterator next) const;
    SharedPtr<Tracker> create_tracker() const override;

    /// Sets the value of the key t (a new key has no tangents yet).
    void set_key(T t, const V& v) override;

    /// Brings the tangents up to date when the keys changed since they were last computed.
    void recompute_tangents() const;

    /// Sets the shape of the tangents: both neighbour differences are scaled by (1 + gain),
    /// the tangents by (1 - tension), and skew moves weight between the incoming and the
    /// outgoing difference. All three are 0 at construction and are not stored.
    void set_shape(float gain, float tension, float skew);
    /// Whether the tangents match the keys.
    bool tangents_valid() const { return m_tangents_valid; }

    void write_text(TStream&) const override {}
    void read_text(TStream&) override {}

private:
    void keys_changed() override { m_tangents_valid = false; }

    float m_gain = 0.0f;
    float m_tension = 0.0f;
    float m_skew = 0.0f;
    mutable bool m_tangents_valid = false;
};

extern template class CubicSpline<float, VectorD<float>>;
extern template class CubicSpline<float, Vector2<float>>;

}

template <>
struct kq::TypeNameOf<kq::CubicSpline<float, kq::VectorD<float>>>
{
    static constexpr const char* value = "class kq::CubicSpline<float,class kq::VectorD<float> >";
};
