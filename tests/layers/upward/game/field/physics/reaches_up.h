#pragma once

// A subfolder belongs to its folder: the shell is above the field.
#include "game/shell/vimo.h"
#include "engine/art/sprite.h"
