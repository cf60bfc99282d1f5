#pragma once

namespace kq {

/// Registers the resource handle base group: `ResHandleBase`, abstract, the registered base of
/// every handle class (the handle classes register with the subsystems of their resources).
/// Later calls do nothing.
void register_res_handle_types();

}
