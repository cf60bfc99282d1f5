#pragma once

namespace kq {

/// Registers the controller classes with the reflection system under their names.
void register_controller_types();

}
