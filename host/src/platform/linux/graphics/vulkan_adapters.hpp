#pragma once

#include <vector>

#include "gpu/gpu_info.hpp"

namespace launcher::gpu {

// Every physical device the Vulkan loader reports, in its order, read from a fresh instance with no
// layers and no extensions beyond those needed to read driver names. Opens no device. Empty when the
// loader is missing or the instance cannot be created. Blocking; call off the main thread.
std::vector<GpuInfo> vulkan_adapters();

}  // namespace launcher::gpu
