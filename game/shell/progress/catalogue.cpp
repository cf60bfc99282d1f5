#include "game/shell/progress/catalogue.h"

#include <string>

#include "engine/base/exception.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

SkinPath numbered(const SkinPath& path, const char* name, int number)
{
    return SkinPath(path, StrCache::get((name + std::to_string(number)).c_str()));
}

}

void read_catalogue(const SkinPath& path, Chapters& chapters)
{
    int chapter_count = 0;
    read_skin_value(path + "chapter_count", &chapter_count);
    for (int c = 1; c <= chapter_count; ++c)
        chapters[c] = read_chapter(numbered(path, "chapter", c));
}

void build_travel_route(Chapters& chapters, TravelPath& route)
{
    route.clear();
    float distance = 0.0f;
    bool started = false;
    Vector2<float> previous;
    for (auto& [number, chapter] : chapters) {
        for (auto& [mission_number, mission] : chapter.missions) {
            if (number == 1) {
                mission.distance = 0.0f;
                continue;
            }
            const float before = distance;
            const bool opens_route = !started;
            for (const Vector2<float>& point : mission.path) {
                if (started)
                    distance += Vector2<float>::distance(previous, point);
                started = true;
                previous = point;
                route.set_key(distance, point);
            }
            // The travel map walks the flag from one mission's distance to the next: a mission
            // at the same place as the one before would leave it nowhere to go.
            if (!opens_route && !(distance > before))
                KQ_THROW(ServiceException, "game", "mission lies no further along the route than the one before [missions.chapter" +
                         std::to_string(number) + ".mission" + std::to_string(mission_number) + "]");
            mission.distance = distance;
        }
    }
}

}
