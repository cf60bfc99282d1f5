#pragma once

namespace kq {

/// Registers the skin group of types: `SkinNode` and the five value atoms,
/// each creatable, copyable and streamable under its class name.
void register_skin_types();

}
