#pragma once

#include "engine/base/str_cache.h"

namespace kq::rtti {

/// A new default value of the registered type of this name (an alias works too), in memory
/// that `delete` through the value's class frees; the caller owns it and casts it to the
/// class it expects. An unknown name raises `RTTIException`
/// "type descriptor not found, unable to create instance."; a failed construction frees the
/// memory and passes its error on.
void* create(StrCache name);

}
