#pragma once

namespace kq {

/// Registers the platform library's types: the names of `Key`, then the handle classes of
/// textures and samples, each with the handle base as its base. Later calls do nothing.
void register_platform_types();

}
