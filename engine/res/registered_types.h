#pragma once

namespace kq {

/// Runs the type registration groups of the foundation and the resource layer, in their
/// fixed order; each group runs once however often this is called.
void register_resource_layer_types();

}
