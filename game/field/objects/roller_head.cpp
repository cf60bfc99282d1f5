#include "game/field/objects/roller_head.h"

#include <cmath>
#include <numbers>

#include "engine/base/math_utils.h"
#include "game/field/field.h"
#include "game/field/objects/fireball.h"
#include "game/field/skin_description.h"

namespace kq {

namespace {

const char* const explosion_effect = "effects.roller_head_explore";
const char* const fireball_item = "items.silence_fireball";

}

void RollerHead::explode(Item& head)
{
    Field* field = head.field();
    if (!field || !head.body() || head.is_dead())
        return;
    const Vector2<float> p = head.body_position();
    field->spawn_effect(SkinPath(explosion_effect), p, Color{1.0f, 1.0f, 1.0f, 1.0f});
    constexpr float pi = std::numbers::pi_v<float>;
    const float a0 = random_float(2.0f * pi);
    for (int i = 0; i < fireball_count; ++i) {
        const float angle = a0 + float(i) * pi / 4.0f;
        Item* item = create_described<Item>(SkinPath(fireball_item));
        if (!item)
            break;
        field->add_item(item, ItemPlacement{head.body_position(), 0.0f});
        if (auto* fireball = dynamic_cast<Fireball*>(item))
            fireball->launch({std::cos(angle), std::sin(angle)});
    }
    head.remove();
}

}
