#pragma once

#include <string>
#include <vector>

#include "gpu/gpu_info.hpp"

namespace launcher::gpu {

// Every graphics adapter of every backend this build carries, in backend order (Vulkan, then
// OpenGL), repeats dropped. A backend that cannot start contributes nothing; no device and no
// surface is ever made. Blocking; call off the main thread.
std::vector<GpuInfo> list_gpus();

// list_gpus() as compact JSON, UTF-8 unescaped; "[]" when nothing is found. Never fails.
std::string list_gpus_json();

}  // namespace launcher::gpu
