#pragma once

// Reaches a layer above its own.
#include "engine/ui/control.h"
#include "engine/base/str_cache.h"
