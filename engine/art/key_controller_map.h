#pragma once

#include <map>

#include "engine/art/key_array.h"
#include "engine/art/key_controller.h"
#include "engine/art/map_key_controller.h"
#include "engine/base/type_name.h"

namespace kq {

/// The stepped key controller: each key holds a whole property value, and the property is
/// set to the value of the key in effect whenever that key changes. A key's value is written
/// only when its element type and count are the property's.
class SCKMap : public MapKeyController<SCProperty, KeyArray>
{
public:
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

    SharedPtr<SCProperty> split_component(int n) override;

    /// The keys.
    const Keys& key_map() const { return m_keys; }

protected:
    bool to_value(const KeyArray& array, KeyArray& out) const override;
    KeyArray to_array(const KeyArray& value) const override { return value; }
    /// Moves the cursor on when it names the key, then removes it.
    void remove_key(Keys::iterator key) override;
    /// Forgets the key in effect.
    void keys_cleared() override { m_cursor = m_keys.end(); }

private:
    // Writes the array into the property when its type and count match the property's.
    void write_value(const KeyArray& value);

    Keys::iterator m_cursor = m_keys.end();
};

}

KQ_TYPE_NAME(kq::SCKMap, "class kq::SCKMap");
