#include "game/field/roller_head.h"

#include <cmath>
#include <numbers>

#include "engine/base/log.h"
#include "engine/base/random.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_prototypes.h"
#include "game/field/field.h"
#include "game/field/fireball.h"

namespace kq {

namespace {

const char* const explosion_effect = "effects.roller_head_explore";
const char* const fireball_item = "items.silence_fireball";

// A new fireball of the skin; null, logged, when none is described.
Item* new_fireball()
{
    const SkinPath path(fireball_item);
    if (!require_skin_environment().try_find_node(path, true)) {
        log_error((std::string("No item is described at [") + fireball_item + "]").c_str(), __FILE__, __LINE__);
        return nullptr;
    }
    return create_from_skin<Item>(path);
}

}

void RollerHead::explode(Item& head)
{
    Field* field = head.field();
    if (!field || !head.body() || head.is_dead())
        return;
    const Vector2<float> p = head.body_position();
    field->spawn_effect(SkinPath(explosion_effect), p, Color{1.0f, 1.0f, 1.0f, 1.0f});
    constexpr float pi = std::numbers::pi_v<float>;
    const float a0 = float(random_next() % 32768) * 2.0f * pi / 32768.0f;
    for (int i = 0; i < fireball_count; ++i) {
        const float angle = a0 + float(i) * pi / 4.0f;
        Item* item = new_fireball();
        if (!item)
            break;
        field->add_item(item, ItemPlacement{head.body_position(), 0.0f});
        if (auto* fireball = dynamic_cast<Fireball*>(item))
            fireball->launch({std::cos(angle), std::sin(angle)});
    }
    head.remove();
}

}
