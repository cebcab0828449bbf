#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gpu/gpu_info.hpp"

namespace launcher::gpu {

// Every adapter DXGI lists, in its order, that Direct3D 12 can drive at feature level 11_0. The
// check asks D3D12CreateDevice for no device, so none is made. Empty when dxgi.dll or d3d12.dll
// is missing. Blocking; call off the main thread.
std::vector<GpuInfo> dx12_adapters();

// What an adapter description tells, apart from the name.
struct DxgiDescription {
    std::uint32_t vendor;
    std::uint32_t device;
    bool software;  // DXGI_ADAPTER_FLAG_SOFTWARE
    // The user-mode driver's version as CheckInterfaceSupport packs it, 16 bits a part.
    std::optional<std::uint64_t> driver_version;
};

// DXGI tells no driver name and, without a device, not whether a card is integrated: software
// adapters are "Cpu", all others "Other". The driver details are the user-mode driver version,
// "a.b.c.d", when the adapter reports one.
GpuInfo dx12_adapter(std::string name, const DxgiDescription& description);

}  // namespace launcher::gpu
