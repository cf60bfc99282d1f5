#include "engine/art/spline_cubic.h"

#include <iterator>

namespace kq {

using spline_value::difference;
using spline_value::product;
using spline_value::sum;

template <class V>
void CubicValueRecord<V>::store(BStream& stream) const
{
    spline_value::store(stream, value);
}

template <class V>
void CubicValueRecord<V>::load(BStream& stream)
{
    spline_value::load(stream, value);
}

template <class T, class V>
V CubicSpline<T, V>::evaluate(T t, KeyIterator next) const
{
    const auto& keys = this->m_keys;
    if (keys.empty())
        return V{};
    if (next == keys.begin())
        return next->second.value;
    if (next == keys.end())
        return keys.rbegin()->second.value;
    recompute_tangents();
    const auto prev = std::prev(next);
    const T t0 = prev->first;
    const ValueRecord& start = prev->second;
    const ValueRecord& end = next->second;
    const float u = (t - t0) / (next->first - t0);
    const float u2 = u * u;
    const float u3 = u2 * u;
    const float h00 = (u3 * 2.0f - u2 * 3.0f) + 1.0f;
    const float h10 = (u3 - u2 * 2.0f) + u;
    const float h01 = u2 * 3.0f - u3 * 2.0f;
    const float h11 = u3 - u2;
    // Summed in this order, so that stored paths come out as they were authored.
    return sum(sum(sum(product(start.value, h00), product(start.out_tangent, h10)), product(end.value, h01)),
               product(end.in_tangent, h11));
}

template <class T, class V>
auto CubicSpline<T, V>::create_tracker() const -> SharedPtr<Tracker>
{
    return SharedPtr<Tracker>(new MyTracker(*this));
}

template <class T, class V>
void CubicSpline<T, V>::set_key(T t, const V& v)
{
    this->m_keys[t].value = v;
    keys_changed();
}

// The tangent rule of stored paths, kept exactly: both differences scaled by (1 + gain), E
// taken as D0 - D1, and tangents that are differences per interval, not per unit of time.
template <class T, class V>
void CubicSpline<T, V>::recompute_tangents() const
{
    if (m_tangents_valid)
        return;
    m_tangents_valid = true;
    const auto& keys = this->m_keys;
    if (keys.size() < 2)
        return;
    const auto first = keys.begin();
    const auto last = std::prev(keys.end());
    first->second.out_tangent = difference(std::next(first)->second.value, first->second.value);
    last->second.in_tangent = difference(last->second.value, std::prev(last)->second.value);
    for (auto key = std::next(first); key != last; ++key) {
        const V& p = key->second.value;
        const V d0 = product(difference(p, std::prev(key)->second.value), 1.0f + m_gain);
        const V d1 = product(difference(std::next(key)->second.value, p), 1.0f + m_gain);
        const V half_e = product(difference(d0, d1), 0.5f);
        key->second.out_tangent = product(sum(d0, product(half_e, 1.0f + m_skew)), 1.0f - m_tension);
        key->second.in_tangent = product(sum(d0, product(half_e, 1.0f - m_skew)), 1.0f - m_tension);
    }
}

template <class T, class V>
void CubicSpline<T, V>::set_shape(float gain, float tension, float skew)
{
    m_gain = gain;
    m_tension = tension;
    m_skew = skew;
    keys_changed();
}

template struct CubicValueRecord<VectorD<float>>;
template struct CubicValueRecord<Vector2<float>>;
template class CubicSpline<float, VectorD<float>>;
template class CubicSpline<float, Vector2<float>>;

}
