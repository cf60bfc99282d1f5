#pragma once

namespace kq {

/// Registers the resource layer's types: the resource handle base group (`ResHandleBase`,
/// abstract, the registered base of every handle class; the handle classes register with the
/// libraries of their resources), then the skin group (`SkinNode` and the five value atoms,
/// each creatable, copyable and streamable under its class name). Later calls do nothing.
void register_res_types();

}
