#pragma once

#include <vector>

#include "engine/art/sprite.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/vector2.h"
#include "game/shell/progress/mission_event.h"

namespace kq {

class SkinPath;

/// One mission of the catalogue: where it lies on the travel map, the way there, and the
/// events around it.
struct Mission
{
    /// Points of the route on the travel map that leads to the mission; the last is the
    /// mission's position.
    std::vector<Vector2<float>> path;
    /// Travelled distance along the travel route at which the mission lies; 0 in chapter 1.
    float distance = 0.0f;
    /// The mission's place on the travel map.
    Vector2<int> position;
    /// Events shown before the mission is played.
    std::vector<MissionEvent> pre_event;
    /// Events shown after the mission.
    std::vector<MissionEvent> post_event;
    /// Sprite of the mission on the travel map.
    SharedPtr<Sprite> map_sprite;
    /// The map shows the sprite only after the pre-events (else on arrival).
    bool map_sprite_post = false;
};

/// Reads a mission from its node: "position", "path" (the position appended), the children
/// tagged "pre_event", then "post_event", then "map_sprite" and "map_sprite_post".
Mission read_mission(const SkinPath& path);

}
