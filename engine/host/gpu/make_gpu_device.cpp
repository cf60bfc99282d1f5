#include "engine/host/gpu/make_gpu_device.h"

#include "engine/host/gpu/gl/gl_device.h"

namespace kq::host {

std::unique_ptr<GpuDevice> make_gpu_device()
{
    return std::make_unique<GlDevice>();
}

}
