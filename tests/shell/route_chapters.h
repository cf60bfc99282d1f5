#pragma once

// The campaign's catalogue as the game loaded it, with a route to walk: when the data tree has
// no chapters 2 and 3 yet, two short chapters of the test's are put in their place (chapter 2
// with a trophy), and the route is laid again through them.
#include "engine/art/image_sprite.h"
#include "game/shell/progress/catalogue.h"

namespace kq::test {

inline Mission route_mission(Vector2<int> position, std::vector<Vector2<float>> path)
{
    Mission mission;
    mission.position = position;
    mission.path = std::move(path);
    mission.path.push_back({float(position.x), float(position.y)});
    return mission;
}

inline Chapter route_chapter(std::string name)
{
    Chapter chapter;
    chapter.name = std::move(name);
    chapter.quality_target = 50;
    chapter.cloud_appear_period = 4000;
    chapter.haze_level = 0.3f;
    return chapter;
}

inline void ensure_route_chapters(Chapters& chapters, TravelPath& route)
{
    if (!chapters.count(2)) {
        Chapter meadow = route_chapter("Test meadow");
        meadow.missions[1] = route_mission({200, 300}, {{150, 330}});
        meadow.missions[2] = route_mission({320, 260}, {});
        meadow.missions[3] = route_mission({440, 320}, {});
        meadow.trophy = SharedPtr<Sprite>(new ImageSprite);
        chapters[2] = meadow;
    }
    if (!chapters.count(3)) {
        Chapter river = route_chapter("Test river");
        river.missions[1] = route_mission({600, 420}, {{520, 380}});
        river.missions[2] = route_mission({700, 380}, {});
        chapters[3] = river;
    }
    build_travel_route(chapters, route);
}

}
