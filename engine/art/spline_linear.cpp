#include "engine/art/spline_linear.h"

#include <iterator>

#include "engine/base/tstream.h"

namespace kq {

template <class T, class V>
V LinearSpline<T, V>::evaluate(T t, KeyIterator next) const
{
    const auto& keys = this->m_keys;
    if (keys.empty())
        return V{};
    if (next == keys.begin())
        return next->second;
    if (next == keys.end())
        return keys.rbegin()->second;
    const auto prev = std::prev(next);
    const T t0 = prev->first;
    const V& p0 = prev->second;
    // The difference is scaled by (t - t0) first, then by the interval's reciprocal.
    const V scaled = spline_value::product(spline_value::difference(next->second, p0), t - t0);
    return spline_value::sum(p0, spline_value::product(scaled, 1.0f / (next->first - t0)));
}

template <class T, class V>
auto LinearSpline<T, V>::create_tracker() const -> SharedPtr<Tracker>
{
    return SharedPtr<Tracker>(new MyTracker(*this));
}

template <class T, class V>
void LinearSpline<T, V>::get_keys(KeyMap& out) const
{
    if (&out != &this->m_keys)
        out = this->m_keys;
}

template <class T, class V>
void LinearSpline<T, V>::set_keys(const KeyMap& in)
{
    if (&in != &this->m_keys)
        this->m_keys = in;
}

template <class T, class V>
void LinearSpline<T, V>::write_text(TStream& stream) const
{
    stream.put_manip(t_io::open_brace);
    bool first = true;
    for (const auto& [time, value] : this->m_keys) {
        if (!first)
            stream << " ";
        first = false;
        stream << time << ", ";
        spline_value::write_text(stream, value);
    }
    stream.put_manip(t_io::close_brace);
}

template <class T, class V>
void LinearSpline<T, V>::read_text(TStream& stream)
{
    this->clear();
    // The opening bracket, taken as it comes.
    stream.skip_token();
    for (;;) {
        stream.check_not_eof();
        if (stream.token_is("}")) {
            stream.skip_token();
            return;
        }
        const T time = spline_value::read_time(stream);
        stream.expect(",");
        V value{};
        spline_value::read_text(stream, value);
        this->m_keys[time] = value;
    }
}

template class LinearSpline<float, VectorD<float>>;
template class LinearSpline<float, Vector2<float>>;
template class LinearSpline<float, Color>;

}
