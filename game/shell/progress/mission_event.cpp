#include "game/shell/progress/mission_event.h"

#include "engine/res/skin_path.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"

namespace kq {

MissionEvent read_mission_event(const SkinPath& path)
{
    MissionEvent event;
    event.image = SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(path + "image"));
    read_skin_value(path + "text", &event.text);
    read_condition(path + "condition", event.condition);
    return event;
}

}
