#include "engine/art/spline_curve.h"

#include <cmath>
#include <iterator>

namespace kq {

template <class V>
void CurveValueRecord<V>::store(BStream& stream) const
{
    spline_value::store(stream, value);
    spline_value::write_float(stream, bend);
}

template <class V>
void CurveValueRecord<V>::load(BStream& stream)
{
    spline_value::load(stream, value);
    bend = spline_value::read_float(stream);
}

template <class T, class V>
V CurveSpline<T, V>::evaluate(T t, KeyIterator next) const
{
    const auto& keys = this->m_keys;
    if (keys.empty())
        return V{};
    if (next == keys.begin())
        return next->second.value;
    if (next == keys.end())
        return keys.rbegin()->second.value;
    const auto prev = std::prev(next);
    const T t0 = prev->first;
    const float u = (t - t0) / (next->first - t0);
    // pi/2 as a single-precision float, as the bends of stored curves were shaped with it.
    const float k = std::tan(next->second.bend * 1.5707964f);
    // At u = 0 the shape is 0 for every bend; only there could it be 0 / 0 (bend 0).
    const float s = u == 0.0f ? 0.0f : u / ((1.0f - k) * u + k);
    return spline_value::blend(prev->second.value, next->second.value, s);
}

template <class T, class V>
void CurveSpline<T, V>::set_key(T t, const V& v)
{
    ValueRecord& record = this->m_keys[t];
    record.value = v;
    record.bend = 0.5f;
}

template <class T, class V>
void CurveSpline<T, V>::set_key(T t, const V& v, float bend)
{
    ValueRecord& record = this->m_keys[t];
    record.value = v;
    if (record.bend < 0.0f)
        record.bend = 0.5f;
    if (bend >= 0.0f)
        record.bend = bend;
}

template struct CurveValueRecord<VectorD<float>>;
template class CurveSpline<float, VectorD<float>>;

}
