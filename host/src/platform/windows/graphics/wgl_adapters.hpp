#pragma once

#include <vector>

#include "gpu/gpu_info.hpp"

namespace launcher::gpu {

// The adapter behind the system's OpenGL driver, read from a WGL context made current on a hidden
// 1x1 window of the calling thread; window and context are gone when the call returns, and the
// thread has no current context. Empty when opengl32.dll is missing or no context can be made.
// Blocking; call off the main thread.
std::vector<GpuInfo> wgl_adapters();

}  // namespace launcher::gpu
