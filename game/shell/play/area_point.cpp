#include "game/shell/play/area_point.h"

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/random.h"

namespace kq {

Vector2<float> pick_area_point(const std::vector<Rect>& areas)
{
    if (areas.empty()) {
        log_error("No areas to product", source_file_name(__FILE__), __LINE__);
        return {0.0f, 0.0f};
    }
    float total = 0.0f;
    for (const Rect& area : areas)
        total += area.w * area.h;
    constexpr float range = random_max + 1.0f;
    float rest = static_cast<float>(random_next()) * total / range;
    const Rect* chosen = &areas.back();
    for (const Rect& area : areas) {
        rest -= area.w * area.h;
        if (rest <= 0.0f) {
            chosen = &area;
            break;
        }
    }
    const float r1 = static_cast<float>(random_next());
    const float r2 = static_cast<float>(random_next());
    return {chosen->x + r2 * chosen->w / range, chosen->y + r1 * chosen->h / range};
}

}
