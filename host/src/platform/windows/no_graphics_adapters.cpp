// The graphics adapters of a Windows build without a graphics layer yet: none.

#include "platform/graphics.hpp"

namespace launcher::platform {

std::vector<gpu::GpuInfo> list_gpus() { return {}; }

}  // namespace launcher::platform
