#pragma once

// A subfolder belongs to its folder: the shell is above the field.
#include "engine/art/sprite.h"
#include "game/shell/app/vimo.h"
