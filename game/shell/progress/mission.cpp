#include "game/shell/progress/mission.h"

#include "engine/res/skin_child_iterator.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

std::vector<MissionEvent> read_events(const SkinPath& path, const char* tag)
{
    std::vector<MissionEvent> events;
    for (SkinChildIterator child(path, tag); !child.at_end(); child.next())
        events.push_back(read_mission_event(child.path()));
    return events;
}

}

Mission read_mission(const SkinPath& path)
{
    Mission mission;
    read_vector2i(path + "position", &mission.position);
    read_points(path + "path", &mission.path);
    mission.path.push_back({static_cast<float>(mission.position.x), static_cast<float>(mission.position.y)});
    mission.pre_event = read_events(path, "pre_event");
    mission.post_event = read_events(path, "post_event");
    mission.map_sprite = SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(path + "map_sprite"));
    read_skin_value(path + "map_sprite_post", &mission.map_sprite_post);
    return mission;
}

}
