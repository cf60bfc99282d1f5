#pragma once

// Reaches a folder of its own layer.
#include "engine/host/window/video.h"
