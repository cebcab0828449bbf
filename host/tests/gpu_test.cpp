#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "gpu/gpu_info.hpp"
#include "host_graphics_reference.hpp"
#include "platform/graphics.hpp"
#include "platform/linux/graphics/gl_adapters.hpp"
#include "platform/linux/graphics/vulkan_adapters.hpp"

namespace launcher::gpu {
namespace {

using platform::list_gpus;

GpuInfo adapter(std::string name, std::uint32_t vendor, std::uint32_t device, Backend backend,
                std::string driver = "drv", DeviceType type = DeviceType::DiscreteGpu) {
    return {std::move(name), vendor, device, type, backend, std::move(driver), "1.0"};
}

TEST(GpuInfo, RepeatsAreDroppedFirstSeenWins) {
    const GpuInfo vk = adapter("GeForce RTX 3060", 0x10de, 0x2504, Backend::Vulkan, "NVIDIA");
    const GpuInfo dx = adapter("GeForce RTX 3060", 0x10de, 0x2504, Backend::Dx12, "dx-driver");
    const GpuInfo dx_case = adapter("Geforce RTX 3060", 0x10de, 0x2504, Backend::Dx12);
    const GpuInfo dx_longer = adapter("GeForce RTX 3060 ", 0x10de, 0x2504, Backend::Dx12);
    const GpuInfo gl = adapter("GeForce RTX 3060/PCIe/SSE2", 0x10de, 0, Backend::Gl);
    const GpuInfo other_device = adapter("GeForce RTX 3060", 0x10de, 0x2503, Backend::Vulkan);
    const GpuInfo other_vendor = adapter("GeForce RTX 3060", 0x10df, 0x2504, Backend::Vulkan);
    const GpuInfo soft =
        adapter("llvmpipe (LLVM 15.0.6, 256 bits)", 0x10005, 0, Backend::Vulkan, "llvmpipe", DeviceType::Cpu);
    struct Case {
        const char* what;
        std::vector<GpuInfo> found;
        std::vector<GpuInfo> listed;
    };
    const std::vector<Case> cases = {
        {"nothing found", {}, {}},
        {"same card on two backends keeps the earlier", {vk, dx}, {vk}},
        {"names differing by case", {vk, dx_case}, {vk, dx_case}},
        {"names differing by length", {vk, dx_longer}, {vk, dx_longer}},
        {"two identical cards", {vk, vk}, {vk}},
        {"OpenGL name of its own", {vk, dx, gl}, {vk, gl}},
        {"same name, other device or vendor", {vk, other_device, other_vendor}, {vk, other_device, other_vendor}},
        {"no Vulkan: starts with the next backend", {dx, gl, soft}, {dx, gl, soft}},
        {"repeat after others", {soft, vk, gl, soft, dx}, {soft, vk, gl}},
    };
    for (const auto& c : cases) EXPECT_EQ(drop_repeated_adapters(c.found), c.listed) << c.what;
}

TEST(GpuInfo, JsonIsCompactWithNamedKindsAndUnescapedUtf8) {
    struct Case {
        GpuInfo gpu;
        std::string json;
    };
    const std::vector<Case> cases = {
        {{"llvmpipe", 65541, 0, DeviceType::Cpu, Backend::Vulkan, "llvmpipe", "Mesa 22.3.6"},
         R"({"name":"llvmpipe","vendor":65541,"device":0,"device_type":"Cpu","backend":"Vulkan",)"
         R"("driver":"llvmpipe","driver_info":"Mesa 22.3.6"})"},
        {{"Radeon \"Pro\" C:\\gpu", 4098, 29695, DeviceType::DiscreteGpu, Backend::Dx12, "", ""},
         R"({"name":"Radeon \"Pro\" C:\\gpu","vendor":4098,"device":29695,"device_type":"DiscreteGpu",)"
         R"("backend":"Dx12","driver":"","driver_info":""})"},
        {{"tab\there\nline\x01", 4294967295u, 4294967295u, DeviceType::IntegratedGpu, Backend::Gl, "d", "i"},
         R"({"name":"tab\there\nline\u0001","vendor":4294967295,"device":4294967295,)"
         R"("device_type":"IntegratedGpu","backend":"Gl","driver":"d","driver_info":"i"})"},
        {{"Видеокарта ™ 显卡 🎮", 1, 2, DeviceType::VirtualGpu, Backend::Metal, "x", "y"},
         R"({"name":"Видеокарта ™ 显卡 🎮","vendor":1,"device":2,"device_type":"VirtualGpu","backend":"Metal",)"
         R"("driver":"x","driver_info":"y"})"},
        {{" padded ", 0, 0, DeviceType::Other, Backend::Noop, "", ""},
         R"({"name":" padded ","vendor":0,"device":0,"device_type":"Other","backend":"Noop","driver":"",)"
         R"("driver_info":""})"},
        {{"web", 0, 0, DeviceType::Other, Backend::BrowserWebGpu, "", ""},
         R"({"name":"web","vendor":0,"device":0,"device_type":"Other","backend":"BrowserWebGpu","driver":"",)"
         R"("driver_info":""})"},
    };
    for (const auto& c : cases) EXPECT_EQ(to_compact(to_json(c.gpu)), c.json);
    EXPECT_EQ(to_compact(to_json(std::vector<GpuInfo>{})), "[]");
    EXPECT_EQ(to_compact(to_json(std::vector<GpuInfo>{cases[0].gpu, cases[4].gpu})),
              "[" + cases[0].json + "," + cases[4].json + "]");
}

TEST(GlAdapters, StringsMakeTheAdapter) {
    struct Case {
        GlStrings strings;
        std::uint32_t vendor;
        DeviceType type;
    };
    const std::vector<Case> cases = {
        {{"Mesa", "llvmpipe (LLVM 15.0.6, 256 bits)", "4.5 (Compatibility Profile) Mesa 22.3.6", "4.50"},
         0x10005,
         DeviceType::Cpu},
        {{"NVIDIA Corporation", "NVIDIA GeForce RTX 3060/PCIe/SSE2", "4.6.0 NVIDIA 535.104.05", "4.60 NVIDIA"},
         0x10de,
         DeviceType::Other},
        {{"ATI Technologies Inc.", "AMD Radeon RX 6600", "4.6.14800", "4.60"}, 0x1002, DeviceType::Other},
        {{"Intel", "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "4.6 (Core Profile) Mesa 23.1", "4.60"},
         0x8086,
         DeviceType::Other},
        {{"ARM", "Mali-G78", "OpenGL ES 3.2", "3.20"}, 0x13b5, DeviceType::Other},
        {{"Google Inc.", "Google SwiftShader", "OpenGL ES 3.0 SwiftShader", "3.00"}, 0, DeviceType::Cpu},
        {{"VMware, Inc.", "softpipe", "3.3 (Core Profile) Mesa", "3.30"}, 0, DeviceType::Cpu},
        {{"", "Unknown renderer", "", ""}, 0, DeviceType::Other},
    };
    for (const auto& c : cases) {
        GpuInfo gpu = gl_adapter(c.strings);
        EXPECT_EQ(gpu.name, c.strings.renderer);
        EXPECT_EQ(gpu.vendor, c.vendor) << c.strings.vendor;
        EXPECT_EQ(gpu.device, 0u);
        EXPECT_EQ(gpu.device_type, c.type) << c.strings.renderer;
        EXPECT_EQ(gpu.backend, Backend::Gl);
        EXPECT_EQ(gpu.driver, c.strings.version);
        EXPECT_EQ(gpu.driver_info, c.strings.shading_language_version);
    }
}

// What `vulkaninfo --summary` says about this machine's devices.
std::vector<std::map<std::string, std::string>> machine_vulkan_devices() {
    std::string summary;
    FILE* pipe = popen("vulkaninfo --summary 2>/dev/null", "r");
    if (!pipe) return {};
    char chunk[4096];
    for (std::size_t read; (read = fread(chunk, 1, sizeof chunk, pipe)) > 0;) summary.append(chunk, read);
    pclose(pipe);
    return vulkaninfo_devices(summary);
}

TEST(ListGpus, MatchesVulkaninfoOnThisMachine) {
    auto reference = machine_vulkan_devices();
    ASSERT_FALSE(reference.empty()) << "vulkaninfo found no device; is mesa-vulkan-drivers installed?";
    auto gpus = list_gpus();
    auto vulkan = vulkan_adapters();
    ASSERT_EQ(vulkan.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        auto& expected = reference[i];
        auto& gpu = vulkan[i];
        EXPECT_EQ(gpu.name, expected["deviceName"]);
        EXPECT_EQ(gpu.vendor, std::stoul(expected["vendorID"], nullptr, 16));
        EXPECT_EQ(gpu.device, std::stoul(expected["deviceID"], nullptr, 16));
        EXPECT_EQ(gpu.driver, expected["driverName"]);
        EXPECT_EQ(gpu.driver_info, expected["driverInfo"]);
        EXPECT_EQ(gpu.backend, Backend::Vulkan);
        EXPECT_EQ(gpus.at(i), gpu) << "Vulkan adapters come first, in the loader's order";
    }

    auto llvmpipe = std::ranges::find_if(gpus, [](const GpuInfo& g) { return g.name.starts_with("llvmpipe"); });
    ASSERT_NE(llvmpipe, gpus.end());
    EXPECT_EQ(llvmpipe->device_type, DeviceType::Cpu);
    EXPECT_EQ(llvmpipe->backend, Backend::Vulkan);
}

TEST(ListGpus, OpenGlAnswersWithoutADisplay) {
    // EGL needs no display server: Mesa's surfaceless platform, or the default display of another
    // driver. Which adapter answers is the machine's: llvmpipe where there is no GPU.
    auto gl = gl_adapters();
    ASSERT_EQ(gl.size(), 1u);
    EXPECT_FALSE(gl[0].name.empty());
    EXPECT_EQ(gl[0].backend, Backend::Gl);
    if (gl[0].name.starts_with("llvmpipe")) {
        EXPECT_EQ(gl[0].device_type, DeviceType::Cpu);
        EXPECT_NE(gl[0].driver.find("Mesa"), std::string::npos) << gl[0].driver;
    }
    // Mesa names its software adapter alike on both backends, so it is listed once, as Vulkan;
    // any other adapter is listed once too.
    auto gpus = list_gpus();
    EXPECT_EQ(std::ranges::count_if(gpus, [&](const GpuInfo& g) { return g.name == gl[0].name; }), 1);
}

TEST(ListGpus, ConcurrentCallsAgree) {
    auto listed = [] { return to_compact(to_json(list_gpus())); };
    auto alone = listed();
    std::vector<std::string> answers(3);
    std::vector<std::thread> callers;
    for (auto& answer : answers) callers.emplace_back([&] { answer = listed(); });
    for (auto& caller : callers) caller.join();
    for (const auto& answer : answers) EXPECT_EQ(answer, alone);
}

}  // namespace
}  // namespace launcher::gpu
