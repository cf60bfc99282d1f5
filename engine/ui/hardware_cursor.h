#pragma once

#include "engine/platform/cursor.h"
#include "engine/res/res_handle.h"

namespace kq {

/// The cursor the handle names, loaded on first use; null for an empty handle and for a name
/// whose cursor cannot be loaded (a missing or damaged file), which is logged to "ui" once
/// and not tried again.
Cursor* load_hardware_cursor(ResHandle<Cursor>& handle);

}
