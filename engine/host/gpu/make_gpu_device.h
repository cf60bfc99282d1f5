#pragma once

#include <memory>

#include "engine/host/gpu/gpu_device.h"

namespace kq::host {

/// The device of the back end this build draws with: OpenGL (gl/). A new back end is a
/// folder beside gl/ and a line here.
std::unique_ptr<GpuDevice> make_gpu_device();

}
