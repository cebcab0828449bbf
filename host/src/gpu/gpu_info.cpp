#include "gpu/gpu_info.hpp"

#include <array>
#include <functional>
#include <unordered_set>

namespace launcher::gpu {

namespace {

struct AdapterKey {
    std::uint32_t vendor;
    std::uint32_t device;
    std::string name;

    bool operator==(const AdapterKey&) const = default;
};

struct AdapterKeyHash {
    std::size_t operator()(const AdapterKey& key) const {
        std::size_t hash = std::hash<std::string>{}(key.name);
        hash ^= std::hash<std::uint64_t>{}((std::uint64_t{key.vendor} << 32) | key.device) + 0x9e3779b97f4a7c15ULL +
                (hash << 6) + (hash >> 2);
        return hash;
    }
};

}  // namespace

std::string_view device_type_name(DeviceType type) {
    static constexpr std::array<std::string_view, 5> names = {"Other", "IntegratedGpu", "DiscreteGpu", "VirtualGpu",
                                                              "Cpu"};
    return names.at(static_cast<std::size_t>(type));
}

std::string_view backend_name(Backend backend) {
    static constexpr std::array<std::string_view, 6> names = {"Noop", "Vulkan", "Metal", "Dx12", "Gl", "BrowserWebGpu"};
    return names.at(static_cast<std::size_t>(backend));
}

std::vector<GpuInfo> drop_repeated_adapters(std::vector<GpuInfo> adapters) {
    std::unordered_set<AdapterKey, AdapterKeyHash> seen;
    std::vector<GpuInfo> kept;
    for (auto& adapter : adapters) {
        if (!seen.insert(AdapterKey{adapter.vendor, adapter.device, adapter.name}).second) continue;
        kept.push_back(std::move(adapter));
    }
    return kept;
}

Json to_json(const GpuInfo& gpu) {
    Json json = Json::object();
    json["name"] = gpu.name;
    json["vendor"] = gpu.vendor;
    json["device"] = gpu.device;
    json["device_type"] = device_type_name(gpu.device_type);
    json["backend"] = backend_name(gpu.backend);
    json["driver"] = gpu.driver;
    json["driver_info"] = gpu.driver_info;
    return json;
}

Json to_json(const std::vector<GpuInfo>& gpus) {
    Json json = Json::array();
    for (const auto& gpu : gpus) json.push_back(to_json(gpu));
    return json;
}

}  // namespace launcher::gpu
