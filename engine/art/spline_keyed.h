#pragma once

#include <cmath>
#include <cstdint>
#include <iterator>
#include <map>
#include <type_traits>

#include "engine/art/spline.h"
#include "engine/art/spline_value.h"
#include "engine/base/bstream.h"

namespace kq {

/// The key storage that the spline kinds share: an ordered map from time to the kind's record
/// R, which is either the value V itself or a structure whose `value` is the V and that has
/// its own `store` and `load`. Implements every operation that does not depend on how an
/// interval is interpolated, and the binary form.
template <class T, class V, class R>
class KeyedSpline : public Spline<T, V>
{
public:
    using typename Spline<T, V>::KeyMap;
    /// Key times to records, ascending.
    using Keys = std::map<T, R>;
    using KeyIterator = typename Keys::const_iterator;

    /// The keys with their records.
    const Keys& keys() const { return m_keys; }

    T first_time() const override { return m_keys.empty() ? T() : m_keys.begin()->first; }
    T last_time() const override { return m_keys.empty() ? T() : m_keys.rbegin()->first; }

    T nearest_time(T t) const override
    {
        if (m_keys.empty())
            return T();
        const KeyIterator next = m_keys.upper_bound(t);
        if (next == m_keys.begin())
            return next->first;
        if (next == m_keys.end())
            return m_keys.rbegin()->first;
        const T t0 = std::prev(next)->first;
        const T t1 = next->first;
        return std::fabs(t - t0) > std::fabs(t - t1) ? t1 : t0;
    }

    bool empty() const override { return m_keys.empty(); }
    std::uint32_t size() const override { return static_cast<std::uint32_t>(m_keys.size()); }

    void get_keys(KeyMap& out) const override
    {
        out.clear();
        for (const auto& [time, record] : m_keys)
            out.emplace_hint(out.end(), time, value_of(record));
    }

    void set_keys(const KeyMap& in) override
    {
        clear();
        for (const auto& [time, value] : in)
            this->set_key(time, value);
    }

    std::uint32_t erase_key(T t) override
    {
        const auto erased = static_cast<std::uint32_t>(m_keys.erase(t));
        keys_changed();
        return erased;
    }

    void clear() override
    {
        m_keys.clear();
        keys_changed();
    }

    void offset(const V& delta) override
    {
        for (auto& [time, record] : m_keys)
            spline_value::add_to(value_of(record), delta);
        keys_changed();
    }

    void move_key(T from, T to) override
    {
        if (from == to)
            return;
        R& source = m_keys[from];
        m_keys[to] = source;
        m_keys.erase(from);
        keys_changed();
    }

    /// u32 key count; per key in ascending time: the f32 time and the record.
    void store(BStream& stream) const override
    {
        write_u32(stream, size());
        for (const auto& [time, record] : m_keys) {
            spline_value::write_float(stream, time);
            if constexpr (std::is_same_v<R, V>)
                spline_value::store(stream, record);
            else
                record.store(stream);
        }
    }

    /// Replaces the keys. A short read is "unexpected end of buffer."; the keys read before it
    /// stay, the last possibly with a partly read record. A repeated time overwrites.
    void load(BStream& stream) override
    {
        clear();
        const std::uint32_t count = read_u32(stream);
        for (std::uint32_t i = 0; i < count; ++i) {
            const T time = spline_value::read_time(stream);
            R& record = m_keys.try_emplace(m_keys.end(), time)->second;
            if constexpr (std::is_same_v<R, V>)
                spline_value::load(stream, record);
            else
                record.load(stream);
        }
        keys_changed();
    }

protected:
    static const V& value_of(const R& record)
    {
        if constexpr (std::is_same_v<R, V>)
            return record;
        else
            return record.value;
    }

    static V& value_of(R& record)
    {
        if constexpr (std::is_same_v<R, V>)
            return record;
        else
            return record.value;
    }

    /// Called after every change of the keys.
    virtual void keys_changed() {}

    Keys m_keys;
};

}
