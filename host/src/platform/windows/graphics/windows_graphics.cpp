#include "platform/graphics.hpp"

#include "platform/linux/graphics/vulkan_adapters.hpp"
#include "platform/windows/graphics/dx12_adapters.hpp"
#include "platform/windows/graphics/wgl_adapters.hpp"

namespace launcher::platform {

// Vulkan, then Direct3D 12, then OpenGL: a card seen through several keeps the entry of the
// earliest, whose driver strings say the most.
std::vector<gpu::GpuInfo> list_gpus() {
    auto adapters = gpu::vulkan_adapters();
    for (auto& dx12 : gpu::dx12_adapters()) adapters.push_back(std::move(dx12));
    for (auto& gl : gpu::wgl_adapters()) adapters.push_back(std::move(gl));
    return gpu::drop_repeated_adapters(std::move(adapters));
}

}  // namespace launcher::platform
