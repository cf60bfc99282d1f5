#pragma once

// Reaches a layer above its own.
#include "engine/base/str_cache.h"
#include "engine/ui/control.h"
