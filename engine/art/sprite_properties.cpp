// The property table of a sprite: what key controllers and tools read and animate.

#include <algorithm>
#include <functional>
#include <string>

#include "engine/art/sprite.h"
#include "engine/base/type_name.h"

namespace kq {

namespace {

enum class Element
{
    real,
    integer,
    boolean,
};

struct PropertyEntry
{
    std::int32_t id;
    const char* label;
    std::int32_t count;
    Element element;
};

constexpr PropertyEntry property_table[] = {
    {SP_POSITION, "Position(X,Y)", 2, Element::real},
    {SP_ROTATION, "Rotation", 1, Element::real},
    {SP_SCALE, "Scale(X,Y)", 2, Element::real},
    {SP_SIZE, "Size(X,Y)", 2, Element::real},
    {SP_PIVOT, "Pivot(X,Y)", 2, Element::real},
    {SP_COLOR, "Color(R,G,B)", 3, Element::real},
    {SP_ALPHA, "Alpha", 1, Element::real},
    {sprite_property_blend, "Blend", 1, Element::integer},
    {SP_VISIBLE, "Visible", 1, Element::boolean},
};

StrCache element_type(const PropertyEntry& entry)
{
    switch (entry.element) {
    case Element::integer:
        return type_name<int>();
    case Element::boolean:
        return type_name<bool>();
    default:
        return type_name<float>();
    }
}

float clamp01(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

}

void Sprite::property(std::int32_t operation, std::int32_t id, void* data)
{
    bool passed_on = false;
    const PropertyEntry* entry = answer_own_property(property_table, operation, id, data, passed_on, element_type,
                                                     [](const PropertyEntry& entry) { return entry.count; });
    if (passed_on)
        SpriteBase::property(operation, id, data);
    if (!entry)
        return;
    auto* real = static_cast<float*>(data);
    const bool get = operation == property_get;
    switch (entry->id) {
    case SP_POSITION:
    case SP_SCALE:
    case SP_SIZE:
    case SP_PIVOT: {
        const Vector2<float> current = entry->id == SP_POSITION ? m_position
                                       : entry->id == SP_SCALE  ? m_scale
                                       : entry->id == SP_SIZE   ? m_size
                                                                : m_pivot;
        if (get) {
            real[0] = current.x;
            real[1] = current.y;
        } else if (entry->id == SP_POSITION) {
            set_position(Vector2<float>{real[0], real[1]});
        } else if (entry->id == SP_SCALE) {
            set_scale(Vector2<float>{real[0], real[1]});
        } else if (entry->id == SP_SIZE) {
            set_size(Vector2<float>{real[0], real[1]});
        } else {
            set_pivot(Vector2<float>{real[0], real[1]});
        }
        return;
    }
    case SP_ROTATION:
        // Stored as given: animated turns run past ±π without folding.
        if (get)
            real[0] = m_rotation;
        else
            set_rotation(real[0]);
        return;
    case SP_COLOR:
        if (get) {
            real[0] = m_color.r;
            real[1] = m_color.g;
            real[2] = m_color.b;
        } else {
            set_color(Color{clamp01(real[0]), clamp01(real[1]), clamp01(real[2]), m_color.a});
        }
        return;
    case SP_ALPHA:
        if (get)
            real[0] = m_color.a;
        else
            set_alpha(clamp01(real[0]));
        return;
    case sprite_property_blend: {
        auto* mode = static_cast<std::int32_t*>(data);
        if (get)
            *mode = static_cast<std::int32_t>(m_render_state & 7);
        else
            set_render_state((m_render_state & ~std::uint32_t(7)) | (static_cast<std::uint32_t>(*mode) & 7));
        return;
    }
    case SP_VISIBLE: {
        auto* visible = static_cast<bool*>(data);
        if (get)
            *visible = m_hidden == 0;
        else
            set_hidden(!*visible);
        return;
    }
    default:
        return;
    }
}

}
