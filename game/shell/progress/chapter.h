#pragma once

#include <map>
#include <string>

#include "engine/art/sprite.h"
#include "engine/base/shared_ptr.h"
#include "game/field/field_enums.h"
#include "game/shell/progress/mission.h"

namespace kq {

class SkinPath;

/// One chapter of the campaign: its missions and the look and rules they share.
struct Chapter
{
    /// The missions by number, 1 to the chapter's mission count.
    std::map<int, Mission> missions;
    /// A sprite per mission outcome, shown at the end of the game.
    std::map<GameState, SharedPtr<Sprite>> state_sprites;
    /// Average quality the player must have when the chapter's last mission ends to win its
    /// trophy.
    int quality_target = 0;
    /// The chapter's title.
    std::string name;
    SharedPtr<Sprite> background;
    SharedPtr<Sprite> overground;
    SharedPtr<Sprite> trophy;
    /// How often clouds appear; always above 0.
    int cloud_appear_period = 1;
    float haze_level = 0.0f;
};

/// The catalogue: chapters by number, 1 to the chapter count.
using Chapters = std::map<int, Chapter>;

/// Reads a chapter from its node: its keys, its state sprites (children tagged
/// "state_sprite", named after an outcome; a later one of the same outcome wins) and its
/// missions "mission1" to "mission<mission_count>". A chapter without missions or with a
/// cloud period that is not above 0 fails, naming the node.
Chapter read_chapter(const SkinPath& path);

}
