#pragma once

#include <memory>
#include <string>

#include "game/field/field.h"
#include "game/field/physics/physics_body.h"
#include "item_fixture.h"

namespace kq::test {

/// A field of the tests over a skin of the item and sprite defaults and `text`, to which
/// field objects of that skin are added.
class FieldObjects
{
public:
    explicit FieldObjects(const std::string& text) : m_skin(item_skin(std::string(sprite_defaults) + text)) {}

    /// The object described at the path, put on the field at the point.
    template <class T>
    T* add(const char* path, Vector2<float> position, float angle = 0.0f)
    {
        T* object = dynamic_cast<T*>(item_at(path));
        if (object)
            field.add_item(object, {position, angle});
        return object;
    }

    /// A probe item of the default keys changed by `keys`, put on the field at the point.
    ProbeItem* add_probe(const std::string& keys, Vector2<float> position)
    {
        ProbeItem* item = probe(keys);
        field.add_item(item, {position, 0.0f});
        return item;
    }

    /// The force on the item since the last step, pixel units.
    static Vector2<float> force_on(const Item& item)
    {
        const b2Vec2& f = item.body()->force();
        return {f.x * 10.0f, f.y * 10.0f};
    }

private:
    std::unique_ptr<TestSkinEnvironment> m_skin;

public:
    FakeGame game;
    Field field{FieldSettings{}, game};
};

}
