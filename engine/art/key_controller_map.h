#pragma once

#include <map>

#include "engine/art/key_array.h"
#include "engine/art/key_controller.h"
#include "engine/base/type_name.h"

namespace kq {

/// The stepped key controller: each key holds a whole property value, and the property is
/// set to the value of the key in effect whenever that key changes. A key's value is written
/// only when its element type and count are the property's.
class SCKMap : public SCProperty
{
public:
    using Keys = std::map<float, KeyArray>;

    SCKMap() = default;
    /// Copies the keys; the copy has no key in effect.
    SCKMap(const SCKMap& other);

    /// Version 0: the property form, the u32 key count, then per key its f32 time and value.
    void store(BStream& stream) const override;
    /// Reads version 0; the keys are replaced.
    void load(BStream& stream) override;
    /// The property keys, then "map": "{" entries "time, value" "}".
    void read_skin(const SkinPath& path) override;
    /// The base walk, then every element of every key that is a resource handle.
    void visit_handles(const std::function<void(ResHandleBase&)>& visit) override;

    /// Forgets the key in effect, then starts as a controller does (which applies).
    void start() override;
    /// Writes the key in effect at the timer's coefficient when it changed.
    void apply() override;

    void set_key(float time, const KeyArray& value) override;
    void erase_key(float time) override;
    void clear_keys() override;
    void move_key(float from, float to) override;
    void key_times(std::set<float>& out) const override;
    void keys(std::map<float, KeyArray>& out) const override;
    int has_keys() const override;
    void value_at(float time, KeyArray& out) const override;
    float nearest_key_time(float time) const override;
    SharedPtr<SCProperty> split_component(int n) override;

    /// The keys.
    const Keys& key_map() const { return m_keys; }

private:
    // Removes the key, moving the cursor on when it names it.
    void remove(Keys::iterator key);
    // Writes the array into the property when its type and count match the property's.
    void write_value(const KeyArray& value);

    Keys m_keys;
    Keys::iterator m_cursor = m_keys.end();
};

}

KQ_TYPE_NAME(kq::SCKMap, "class kq::SCKMap");
