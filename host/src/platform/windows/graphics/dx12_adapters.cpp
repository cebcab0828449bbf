#include "platform/windows/graphics/dx12_adapters.hpp"

#include <windows.h>
#include <d3d12.h>
#include <dxgi.h>
#include <wrl/client.h>

#include <cwchar>

#include "platform/linux/graphics/runtime_library.hpp"

namespace launcher::gpu {

namespace {

using Microsoft::WRL::ComPtr;
using CreateFactory = HRESULT(WINAPI*)(REFIID, void**);

std::string utf8(const wchar_t* text, std::size_t capacity) {
    int length = static_cast<int>(wcsnlen(text, capacity));
    if (length == 0) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

GpuInfo dx12_adapter(std::string name, const DxgiDescription& description) {
    GpuInfo gpu;
    gpu.name = std::move(name);
    gpu.vendor = description.vendor;
    gpu.device = description.device;
    gpu.device_type = description.software ? DeviceType::Cpu : DeviceType::Other;
    gpu.backend = Backend::Dx12;
    if (auto version = description.driver_version) {
        for (int shift = 48; shift >= 0; shift -= 16) {
            gpu.driver_info += std::to_string((*version >> shift) & 0xffff);
            if (shift > 0) gpu.driver_info += '.';
        }
    }
    return gpu;
}

std::vector<GpuInfo> dx12_adapters() {
    auto create_factory = runtime_function<CreateFactory>(runtime_library("dxgi.dll"), "CreateDXGIFactory1");
    auto create_device = runtime_function<PFN_D3D12_CREATE_DEVICE>(runtime_library("d3d12.dll"), "D3D12CreateDevice");
    if (!create_factory || !create_device) return {};
    ComPtr<IDXGIFactory1> factory;
    if (FAILED(create_factory(IID_PPV_ARGS(&factory)))) return {};

    std::vector<GpuInfo> adapters;
    ComPtr<IDXGIAdapter1> adapter;
    // The list ends with DXGI_ERROR_NOT_FOUND; any other failure ends it too rather than asking on.
    for (UINT index = 0; SUCCEEDED(factory->EnumAdapters1(index, &adapter)); ++index) {
        DXGI_ADAPTER_DESC1 desc{};
        if (FAILED(adapter->GetDesc1(&desc))) continue;
        // With no device pointer the call only answers whether a device could be made.
        if (FAILED(create_device(adapter.Get(), D3D_FEATURE_LEVEL_11_0, __uuidof(ID3D12Device), nullptr))) continue;
        DxgiDescription description{desc.VendorId, desc.DeviceId, (desc.Flags & DXGI_ADAPTER_FLAG_SOFTWARE) != 0, {}};
        LARGE_INTEGER version{};
        if (SUCCEEDED(adapter->CheckInterfaceSupport(__uuidof(IDXGIDevice), &version))) {
            description.driver_version = static_cast<std::uint64_t>(version.QuadPart);
        }
        adapters.push_back(dx12_adapter(utf8(desc.Description, std::size(desc.Description)), description));
    }
    return adapters;
}

}  // namespace launcher::gpu
