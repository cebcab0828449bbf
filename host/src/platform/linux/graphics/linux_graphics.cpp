#include "platform/graphics.hpp"

#include "platform/linux/graphics/gl_adapters.hpp"
#include "platform/linux/graphics/vulkan_adapters.hpp"

namespace launcher::platform {

// Vulkan first: it names the card's own vendor and device, which OpenGL cannot, so a card seen
// through both keeps its Vulkan entry.
std::vector<gpu::GpuInfo> list_gpus() {
    auto adapters = gpu::vulkan_adapters();
    for (auto& gl : gpu::gl_adapters()) adapters.push_back(std::move(gl));
    return gpu::drop_repeated_adapters(std::move(adapters));
}

}  // namespace launcher::platform
