#include "gpu/gl_adapter.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace launcher::gpu {

namespace {

// Mesa's vendor id (VK_VENDOR_ID_MESA), which its Vulkan drivers report too.
constexpr std::uint32_t mesa_vendor = 0x10005;

std::string lower(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::uint32_t vendor_id(std::string_view vendor) {
    struct Known {
        std::string_view text;
        std::uint32_t id;
    };
    static constexpr std::array<Known, 10> known = {{
        {"nvidia", 0x10de},
        {"advanced micro devices", 0x1002},
        {"ati technologies", 0x1002},
        {"amd", 0x1002},
        {"intel", 0x8086},
        {"qualcomm", 0x5143},
        {"apple", 0x106b},
        {"broadcom", 0x14e4},
        {"microsoft", 0x1414},
        {"mesa", mesa_vendor},
    }};
    auto text = lower(vendor);
    for (const auto& entry : known) {
        if (text.find(entry.text) != std::string::npos) return entry.id;
    }
    if (text == "arm") return 0x13b5;
    return 0;
}

bool software_renderer(std::string_view renderer) {
    static constexpr std::array<std::string_view, 6> names = {
        "llvmpipe", "softpipe", "swrast", "swiftshader", "software rasterizer", "microsoft basic render driver"};
    auto text = lower(renderer);
    return std::ranges::any_of(names, [&](std::string_view name) { return text.find(name) != std::string::npos; });
}

}  // namespace

GpuInfo gl_adapter(const GlStrings& strings) {
    GpuInfo gpu;
    gpu.name = std::string(strings.renderer);
    gpu.vendor = vendor_id(strings.vendor);
    gpu.device = 0;
    gpu.device_type = software_renderer(strings.renderer) ? DeviceType::Cpu : DeviceType::Other;
    gpu.backend = Backend::Gl;
    gpu.driver = std::string(strings.version);
    gpu.driver_info = std::string(strings.shading_language_version);
    return gpu;
}

}  // namespace launcher::gpu
