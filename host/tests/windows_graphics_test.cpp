// The Windows graphics providers under wine, against what the build machine's own tools report:
// wine's Vulkan is the machine's Vulkan driver, its OpenGL the machine's GLX driver. Wine's DXGI
// draws through Vulkan here (the renderer value below), so it lists the Vulkan devices under
// their Vulkan names and the listing has real repeats to drop. The references are written by the
// windows_graphics_reference step into LAUNCHER_GRAPHICS_REFERENCE before this suite runs.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "gpu/gl_adapter.hpp"
#include "gpu/gpu_info.hpp"
#include "host_graphics_reference.hpp"
#include "platform/graphics.hpp"
#include "platform/linux/graphics/runtime_library.hpp"
#include "platform/linux/graphics/vulkan_adapters.hpp"
#include "platform/windows/graphics/dx12_adapters.hpp"
#include "platform/windows/graphics/wgl_adapters.hpp"

namespace launcher::gpu {
namespace {

// Wine reads its Direct3D settings when DXGI first loads, from the user's key for this program
// alone, so no other suite of the prefix is affected.
class DxgiThroughVulkan : public testing::Environment {
public:
    void SetUp() override {
        std::wstring program(MAX_PATH, L'\0');
        program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
        auto key =
            L"Software\\Wine\\AppDefaults\\" + std::filesystem::path(program).filename().wstring() + L"\\Direct3D";
        static constexpr wchar_t renderer[] = L"vulkan";
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"renderer", REG_SZ, renderer, sizeof renderer),
                  ERROR_SUCCESS);
    }
};
const auto* const dxgi_through_vulkan = testing::AddGlobalTestEnvironment(new DxgiThroughVulkan);

// A file of the build machine, opened through wine's own path translation.
std::string host_file(const char* name) {
    using DosFileName = WCHAR*(CDECL*)(const char*);
    auto dos_file_name = runtime_function<DosFileName>(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name");
    if (!dos_file_name) {
        ADD_FAILURE() << "not running under wine";
        return {};
    }
    WCHAR* path = dos_file_name((std::string(LAUNCHER_GRAPHICS_REFERENCE) + "/" + name).c_str());
    if (!path) {
        ADD_FAILURE() << "wine has no drive for " << LAUNCHER_GRAPHICS_REFERENCE;
        return {};
    }
    std::ifstream file{std::filesystem::path(path)};
    HeapFree(GetProcessHeap(), 0, path);
    EXPECT_TRUE(file) << name << " is missing: run the suite through CTest";
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

using Key = std::tuple<std::uint32_t, std::uint32_t, std::string>;
Key key_of(const GpuInfo& gpu) { return {gpu.vendor, gpu.device, gpu.name}; }

TEST(WindowsGraphics, VulkanListsTheMachinesDevices) {
    const std::map<std::string, DeviceType> types = {
        {"PHYSICAL_DEVICE_TYPE_OTHER", DeviceType::Other},
        {"PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU", DeviceType::IntegratedGpu},
        {"PHYSICAL_DEVICE_TYPE_DISCRETE_GPU", DeviceType::DiscreteGpu},
        {"PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU", DeviceType::VirtualGpu},
        {"PHYSICAL_DEVICE_TYPE_CPU", DeviceType::Cpu},
    };
    // A machine without a Vulkan driver lists nothing on either side.
    auto reference = vulkaninfo_devices(host_file("vulkaninfo.txt"));
    auto vulkan = vulkan_adapters();
    ASSERT_EQ(vulkan.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        auto& expected = reference[i];
        const auto& gpu = vulkan[i];
        EXPECT_EQ(gpu.name, expected["deviceName"]);
        EXPECT_EQ(gpu.vendor, std::stoul(expected["vendorID"], nullptr, 16));
        EXPECT_EQ(gpu.device, std::stoul(expected["deviceID"], nullptr, 16));
        EXPECT_EQ(gpu.device_type, types.at(expected["deviceType"]));
        EXPECT_EQ(gpu.backend, Backend::Vulkan);
        EXPECT_EQ(gpu.driver, expected["driverName"]);
        EXPECT_EQ(gpu.driver_info, expected["driverInfo"]);
    }
}

TEST(WindowsGraphics, Dx12ListsTheVulkanDevicesWineDrawsWith) {
    auto reference = vulkan_adapters();
    auto dx12 = dx12_adapters();
    if (!reference.empty()) {
        EXPECT_FALSE(dx12.empty()) << "Direct3D 12 found no adapter Vulkan can drive";
    }
    for (const auto& gpu : dx12) {
        EXPECT_EQ(gpu.backend, Backend::Dx12);
        EXPECT_TRUE(std::ranges::any_of(reference, [&](const GpuInfo& vk) { return key_of(vk) == key_of(gpu); }))
            << gpu.name << " is no Vulkan device of this machine";
        // Wine gives every adapter a user-mode driver version.
        EXPECT_EQ(std::ranges::count(gpu.driver_info, '.'), 3) << gpu.driver_info;
    }
}

TEST(WindowsGraphics, Dx12DescriptionMakesTheAdapter) {
    struct Case {
        DxgiDescription description;
        DeviceType type;
        std::string driver_info;
    };
    const std::vector<Case> cases = {
        {{0x10de, 0x2504, false, 0x001f'000f'0e5b'0e53}, DeviceType::Other, "31.15.3675.3667"},
        {{0x1414, 0x008c, true, 0xffff'0000'0001'ffff}, DeviceType::Cpu, "65535.0.1.65535"},
        {{0x8086, 0x9bc4, false, std::nullopt}, DeviceType::Other, ""},
    };
    for (const auto& c : cases) {
        GpuInfo gpu = dx12_adapter("Card \"X\"", c.description);
        EXPECT_EQ(gpu, (GpuInfo{"Card \"X\"", c.description.vendor, c.description.device, c.type, Backend::Dx12, "",
                                c.driver_info}));
    }
}

TEST(WindowsGraphics, OpenGlReadsTheMachinesGlxDriver) {
    auto glx = glxinfo_strings(host_file("glxinfo.txt"));
    ASSERT_FALSE(glx["renderer"].empty()) << "glxinfo names no renderer";
    // A context of the old kind, as wglCreateContext makes: the compatibility profile's strings.
    auto expected = gl_adapter({glx["vendor"], glx["renderer"], glx["version"], glx["shading language version"]});
    auto gl = wgl_adapters();
    ASSERT_EQ(gl.size(), 1u);
    EXPECT_EQ(gl[0], expected);
}

TEST(WindowsGraphics, ListingKeepsTheEarliestBackendOfEachAdapter) {
    auto vulkan = vulkan_adapters();
    auto dx12 = dx12_adapters();
    auto gl = wgl_adapters();
    auto listed = platform::list_gpus();

    // Where the Vulkan list is not empty, DXGI repeats its devices, so the drop is exercised.
    auto repeated = [&](const GpuInfo& gpu) {
        return std::ranges::any_of(vulkan, [&](const GpuInfo& vk) { return key_of(vk) == key_of(gpu); });
    };
    if (!vulkan.empty()) {
        EXPECT_TRUE(std::ranges::any_of(dx12, repeated));
    }

    // Vulkan's entries lead, whole and in order; every adapter any backend found is listed once,
    // and no Direct3D 12 entry repeats a Vulkan one.
    ASSERT_GE(listed.size(), vulkan.size());
    EXPECT_TRUE(std::equal(vulkan.begin(), vulkan.end(), listed.begin()));
    std::set<Key> keys;
    for (const auto* found : {&vulkan, &dx12, &gl}) {
        for (const auto& gpu : *found) {
            keys.insert(key_of(gpu));
            EXPECT_EQ(std::ranges::count_if(listed, [&](const GpuInfo& entry) { return key_of(entry) == key_of(gpu); }),
                      1)
                << gpu.name;
        }
    }
    for (const auto& entry : listed) {
        if (entry.backend == Backend::Dx12) {
            EXPECT_FALSE(repeated(entry)) << entry.name;
        }
    }
    EXPECT_EQ(listed.size(), keys.size());
    EXPECT_FALSE(listed.empty()) << "OpenGL at least answers under the display";
}

TEST(WindowsGraphics, ConcurrentListingsAgree) {
    auto listed = [] { return to_compact(to_json(platform::list_gpus())); };
    auto alone = listed();
    std::vector<std::string> answers(3);
    std::vector<std::thread> callers;
    for (auto& answer : answers) callers.emplace_back([&] { answer = listed(); });
    for (auto& caller : callers) caller.join();
    for (const auto& answer : answers) EXPECT_EQ(answer, alone);
}

}  // namespace
}  // namespace launcher::gpu
