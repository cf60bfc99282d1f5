#pragma once

#include <map>
#include <set>

#include "engine/art/key_array.h"
#include "engine/art/key_controller.h"

namespace kq {

/// The key-editing operations of a key controller whose keys are plain values held in a map
/// by time (Base: `KeyController` or `SCProperty`). The derived class says how a value is
/// read from an array (`to_value`) and shown as one (`to_array`), and may watch keys leave.
template <class Base, class Value>
class MapKeyController : public Base
{
public:
    using Keys = std::map<float, Value>;

    /// The key at t takes the array's value, when `to_value` accepts it.
    void set_key(float time, const KeyArray& value) override
    {
        Value converted;
        if (to_value(value, converted))
            m_keys[time] = converted;
    }
    void erase_key(float time) override
    {
        const auto key = m_keys.find(time);
        if (key != m_keys.end())
            remove_key(key);
    }
    void clear_keys() override
    {
        m_keys.clear();
        keys_cleared();
    }
    void move_key(float from, float to) override
    {
        if (from == to)
            return;
        const auto key = m_keys.find(from);
        if (key == m_keys.end())
            return;
        const Value value = key->second;
        remove_key(key);
        m_keys[to] = value;
    }
    void key_times(std::set<float>& out) const override
    {
        for (const auto& key : m_keys)
            out.insert(key.first);
    }
    /// Every key as an array, without a bend.
    void keys(std::map<float, KeyArray>& out) const override
    {
        out.clear();
        for (const auto& [time, value] : m_keys)
            (out[time] = to_array(value)).bend = -1.0f;
    }
    int has_keys() const override { return m_keys.empty() ? 0 : 1; }
    /// The array of the key nearest to t; nothing without keys.
    void value_at(float time, KeyArray& out) const override
    {
        const float key = nearest_key_time(time);
        if (key >= 0.0f)
            out = to_array(m_keys.at(key));
    }
    float nearest_key_time(float time) const override { return nearest_key(m_keys, time); }

protected:
    /// The value an array sets; false when it sets nothing.
    virtual bool to_value(const KeyArray& array, Value& out) const = 0;
    /// The value as an array.
    virtual KeyArray to_array(const Value& value) const = 0;
    /// Removes one key (erased or moved); a derived class may first let go of it.
    virtual void remove_key(typename Keys::iterator key) { m_keys.erase(key); }
    /// Called after every key was removed.
    virtual void keys_cleared() {}

    Keys m_keys;
};

}
