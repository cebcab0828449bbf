#pragma once

#include <vector>

#include "gpu/gpu_info.hpp"

namespace launcher::platform {

// Every graphics adapter of the platform's graphics runtimes, runtime by runtime in the
// platform's order (Vulkan, then Direct3D 12 on Windows, then OpenGL), repeats dropped. A runtime
// that is missing or cannot start contributes nothing; no device and no surface is ever made.
// Blocking; call off the main thread.
std::vector<gpu::GpuInfo> list_gpus();

}  // namespace launcher::platform
