#pragma once

// The player's progress sits under the screens that show it.
#include "game/shell/progress/profile.h"
#include "game/shell/screens/title_frame.h"
