#pragma once

#include <functional>
#include <vector>

#include "engine/base/shared_ptr.h"
#include "engine/base/str_cache.h"
#include "engine/ui/frame.h"
#include "game/field/field_enums.h"
#include "game/shell/progress/chapter.h"
#include "game/shell/progress/mission_event.h"

namespace kq {

/// The screens the travel map opens over itself: a travel map is built with its set, which
/// the game owns (`Game::map_screens`).
struct MapScreens
{
    /// A new frame to play the current mission in; null plays nothing.
    std::function<SharedPtr<Frame>()> mission_frame;
    /// The outcome of a mission frame that has left the stack.
    std::function<GameState(Frame&)> outcome;
    /// Shows the chapter's events over the parent and returns when they were seen.
    std::function<void(Control& parent, const Chapter&, const std::vector<MissionEvent>&)> events;
    /// Runs the in-game menu over the parent; its result ("exit" leaves the map).
    std::function<StrCache(Control& parent)> menu;
};

/// The game's own screens: the mission's game frame and its result, the event dialog and
/// the in-game menu.
MapScreens game_map_screens();

}
