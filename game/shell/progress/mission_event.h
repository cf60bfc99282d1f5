#pragma once

#include <string>

#include "engine/art/sprite.h"
#include "engine/base/shared_ptr.h"
#include "game/field/field_enums.h"

namespace kq {

class SkinPath;

/// A picture and a text that the travel map shows before or after a mission, when its
/// condition holds for the current profile.
struct MissionEvent
{
    /// Null for an empty value.
    SharedPtr<Sprite> image;
    std::string text;
    Condition condition = Condition::always;
};

/// Reads an event from its node: "image", "text" and "condition", in this order.
MissionEvent read_mission_event(const SkinPath& path);

}
