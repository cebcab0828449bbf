#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/json.hpp"

namespace launcher::gpu {

// Adapter kinds and graphics interfaces, in the order pages and report readers know them; the
// JSON carries their names, never their numbers.
enum class DeviceType { Other, IntegratedGpu, DiscreteGpu, VirtualGpu, Cpu };
enum class Backend { Noop, Vulkan, Metal, Dx12, Gl, BrowserWebGpu };

std::string_view device_type_name(DeviceType type);
std::string_view backend_name(Backend backend);

// One graphics adapter as a backend describes it. Field order is the JSON key order.
struct GpuInfo {
    std::string name;
    std::uint32_t vendor = 0;
    std::uint32_t device = 0;
    DeviceType device_type = DeviceType::Other;
    Backend backend = Backend::Noop;
    std::string driver;
    std::string driver_info;

    bool operator==(const GpuInfo&) const = default;
};

// Drops every adapter whose (vendor, device, name) was already seen; the first one wins whole, so
// a card visible through several backends keeps the earliest backend's entry. Names compare byte
// for byte.
std::vector<GpuInfo> drop_repeated_adapters(std::vector<GpuInfo> adapters);

Json to_json(const GpuInfo& gpu);
Json to_json(const std::vector<GpuInfo>& gpus);

}  // namespace launcher::gpu
