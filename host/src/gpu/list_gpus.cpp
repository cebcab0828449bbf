#include "gpu/list_gpus.hpp"

#include "gpu/gl_adapters.hpp"
#include "gpu/vulkan_adapters.hpp"

namespace launcher::gpu {

std::vector<GpuInfo> list_gpus() {
    auto adapters = vulkan_adapters();
    for (auto& gl : gl_adapters()) adapters.push_back(std::move(gl));
    return drop_repeated_adapters(std::move(adapters));
}

std::string list_gpus_json() { return to_compact(to_json(list_gpus())); }

}  // namespace launcher::gpu
