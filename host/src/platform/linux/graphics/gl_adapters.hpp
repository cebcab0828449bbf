#pragma once

#include <vector>

#include "gpu/gl_adapter.hpp"
#include "gpu/gpu_info.hpp"

namespace launcher::gpu {

// The adapter behind the system's OpenGL driver, read from a context made current without a
// window surface (surfaceless, or a 1x1 pbuffer where surfaceless contexts are missing). Empty
// when EGL is missing or no context can be made. The EGL display stays initialised for the
// life of the process (it may be shared with the web views). Blocking; call off the main thread.
std::vector<GpuInfo> gl_adapters();

}  // namespace launcher::gpu
