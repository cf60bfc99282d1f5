#pragma once

#include <cmath>
#include <cstdint>
#include <iterator>
#include <map>
#include <set>

#include "engine/art/key_array.h"
#include "engine/art/sprite_controller.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "engine/base/vector_d.h"

namespace kq {

/// A controller whose behaviour is given by keys on its timer's coefficient axis (0 to 1),
/// with one key-editing interface for every kind.
class KeyController : public SpriteController
{
public:
    /// Version 1, then the controller form.
    void store(BStream& stream) const override;
    /// Reads version 1 only.
    void load(BStream& stream) override;

    /// Sets the key at t to the value.
    virtual void set_key(float time, const KeyArray& value) = 0;
    /// Removes the key at exactly t.
    virtual void erase_key(float time) = 0;
    /// Removes every key.
    virtual void clear_keys() = 0;
    /// Moves the key at `from` to `to`.
    virtual void move_key(float from, float to) = 0;
    /// Adds every key time to `out`.
    virtual void key_times(std::set<float>& out) const = 0;
    /// Every key with its value.
    virtual void keys(std::map<float, KeyArray>& out) const = 0;
    /// 1 when there is a key, else 0.
    virtual int has_keys() const = 0;
    /// The value at t.
    virtual void value_at(float time, KeyArray& out) const = 0;
    /// The time of the key nearest to t; -1 without keys.
    virtual float nearest_key_time(float time) const = 0;
};

/// The time of the key of `keys` nearest to t: -1 without keys; before the first key the
/// first, after the last the last, a tie going to the earlier key.
template <class Value>
float nearest_key(const std::map<float, Value>& keys, float t)
{
    if (keys.empty())
        return -1.0f;
    const auto next = keys.upper_bound(t);
    if (next == keys.begin())
        return next->first;
    if (next == keys.end())
        return keys.rbegin()->first;
    const float before = std::prev(next)->first;
    return std::fabs(t - before) > std::fabs(next->first - t) ? next->first : before;
}

/// A key controller that drives one numbered property of its parent (the owning sprite or
/// deformer) through the parent's property table: all its components, or only one.
class SCProperty : public KeyController
{
public:
    SCProperty() = default;
    SCProperty(const SCProperty& other) = default;

    /// Version 11: the key controller form, the property id and the component.
    void store(BStream& stream) const override;
    /// Reads versions 0 to 11 (below 10 an ignored byte and the controller form; below 11
    /// no component).
    void load(BStream& stream) override;
    /// The controller keys, then "property".
    void read_skin(const SkinPath& path) override;

    /// A parentless copy driving only component n of what this one drives; an empty pointer
    /// when there is no component n.
    virtual SharedPtr<SCProperty> split_component(int n) = 0;

    std::int32_t property_id() const { return m_property; }
    void set_property_id(std::int32_t id) { m_property = id; }
    /// -1: every component; n >= 0: component n only.
    std::int32_t component() const { return m_component; }
    void set_component(std::int32_t component) { m_component = component; }

protected:
    /// The parent's component count of the property; 0 without a parent.
    std::int32_t component_count();
    /// The interned name of the property's element type; empty without a parent.
    StrCache element_type();
    /// The driven values of the property (every component, or only the chosen one) when it
    /// is a float property with such components; false (and logged when the property is not
    /// of floats) otherwise.
    bool read_driven(VectorD<float>& out);
    /// Writes the driven values into the property; a value missing from `values` is 0.
    void write_driven(const VectorD<float>& values);
    /// The parentless copy `split_component` starts from, or null when there is no
    /// component n.
    SCProperty* split_copy(int n);

private:
    bool read_floats(VectorD<float>& out);

    std::int32_t m_property = 0;
    std::int32_t m_component = -1;
};

}

KQ_TYPE_NAME(kq::KeyController, "class kq::KeyController");
KQ_TYPE_NAME(kq::SCProperty, "class kq::SCProperty");
