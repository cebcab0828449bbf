#include "platform/linux/graphics/vulkan_adapters.hpp"

#define VK_NO_PROTOTYPES
#include <vulkan/vulkan.h>

#include <cstring>
#include <string_view>

#include "platform/linux/graphics/runtime_library.hpp"

namespace launcher::gpu {

namespace {

// The Windows build compiles this file too; only the loader's name differs.
#ifdef _WIN32
constexpr const char* loader_name = "vulkan-1.dll";
#else
constexpr const char* loader_name = "libvulkan.so.1";
#endif

std::string fixed_text(const char* text, std::size_t capacity) { return std::string(text, strnlen(text, capacity)); }

template <class Properties, class Enumerate, class... Args>
std::vector<Properties> enumerate(Enumerate function, Args... args) {
    std::uint32_t count = 0;
    if (function(args..., &count, nullptr) != VK_SUCCESS) return {};
    std::vector<Properties> items(count);
    if (function(args..., &count, items.data()) < VK_SUCCESS) return {};
    items.resize(count);
    return items;
}

DeviceType device_type_of(std::uint32_t physical_device_type) {
    switch (physical_device_type) {
    case VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU:
        return DeviceType::IntegratedGpu;
    case VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU:
        return DeviceType::DiscreteGpu;
    case VK_PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU:
        return DeviceType::VirtualGpu;
    case VK_PHYSICAL_DEVICE_TYPE_CPU:
        return DeviceType::Cpu;
    default:
        return DeviceType::Other;
    }
}

bool has_extension(const std::vector<VkExtensionProperties>& extensions, std::string_view name) {
    for (const auto& extension : extensions) {
        if (name == extension.extensionName) return true;
    }
    return false;
}

// The instance and the entry points enumeration needs; destroys the instance when it goes.
class Instance {
public:
    explicit Instance(PFN_vkGetInstanceProcAddr get_proc) : get_proc_(get_proc) {
        auto create = reinterpret_cast<PFN_vkCreateInstance>(get_proc_(nullptr, "vkCreateInstance"));
        auto instance_version =
            reinterpret_cast<PFN_vkEnumerateInstanceVersion>(get_proc_(nullptr, "vkEnumerateInstanceVersion"));
        auto instance_extensions = reinterpret_cast<PFN_vkEnumerateInstanceExtensionProperties>(
            get_proc_(nullptr, "vkEnumerateInstanceExtensionProperties"));
        if (!create) return;

        // A 1.1 loader has vkGetPhysicalDeviceProperties2 in core; asking for the loader's own
        // version lets drivers of 1.2 and later answer the driver-properties query. A 1.0 loader
        // needs the extension instead, when it has it.
        std::uint32_t version = VK_API_VERSION_1_0;
        if (instance_version && instance_version(&version) != VK_SUCCESS) version = VK_API_VERSION_1_0;
        std::vector<const char*> extensions;
        if (version < VK_API_VERSION_1_1 && instance_extensions &&
            has_extension(enumerate<VkExtensionProperties>(instance_extensions, nullptr),
                          VK_KHR_GET_PHYSICAL_DEVICE_PROPERTIES_2_EXTENSION_NAME)) {
            extensions.push_back(VK_KHR_GET_PHYSICAL_DEVICE_PROPERTIES_2_EXTENSION_NAME);
        }

        VkApplicationInfo application{};
        application.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
        application.apiVersion = version;
        VkInstanceCreateInfo info{};
        info.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
        info.pApplicationInfo = &application;
        info.enabledExtensionCount = static_cast<std::uint32_t>(extensions.size());
        info.ppEnabledExtensionNames = extensions.data();
        if (create(&info, nullptr, &instance_) != VK_SUCCESS) {
            instance_ = VK_NULL_HANDLE;
            return;
        }
        api_version_ = version;
        properties2_ = version >= VK_API_VERSION_1_1
                           ? function<PFN_vkGetPhysicalDeviceProperties2>("vkGetPhysicalDeviceProperties2")
                           : nullptr;
        if (!properties2_ && !extensions.empty()) {
            properties2_ = function<PFN_vkGetPhysicalDeviceProperties2>("vkGetPhysicalDeviceProperties2KHR");
        }
    }

    ~Instance() {
        if (!instance_) return;
        if (auto destroy = function<PFN_vkDestroyInstance>("vkDestroyInstance")) destroy(instance_, nullptr);
    }

    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    explicit operator bool() const { return instance_ != VK_NULL_HANDLE; }

    template <class Function>
    Function function(const char* name) const {
        return reinterpret_cast<Function>(get_proc_(instance_, name));
    }

    std::vector<GpuInfo> adapters() const {
        auto enumerate_devices = function<PFN_vkEnumeratePhysicalDevices>("vkEnumeratePhysicalDevices");
        auto properties = function<PFN_vkGetPhysicalDeviceProperties>("vkGetPhysicalDeviceProperties");
        if (!enumerate_devices || !properties) return {};
        std::vector<GpuInfo> adapters;
        for (VkPhysicalDevice device : enumerate<VkPhysicalDevice>(enumerate_devices, instance_)) {
            VkPhysicalDeviceProperties props{};
            properties(device, &props);
            GpuInfo gpu;
            gpu.name = fixed_text(props.deviceName, VK_MAX_PHYSICAL_DEVICE_NAME_SIZE);
            gpu.vendor = props.vendorID;
            gpu.device = props.deviceID;
            gpu.device_type = device_type_of(props.deviceType);
            gpu.backend = Backend::Vulkan;
            read_driver(device, props.apiVersion, gpu);
            adapters.push_back(std::move(gpu));
        }
        return adapters;
    }

private:
    // Driver name and details exist from Vulkan 1.2, or with VK_KHR_driver_properties; older
    // drivers leave both strings empty.
    void read_driver(VkPhysicalDevice device, std::uint32_t device_version, GpuInfo& gpu) const {
        if (!properties2_) return;
        bool core = device_version >= VK_API_VERSION_1_2 && api_version_ >= VK_API_VERSION_1_2;
        if (!core) {
            auto device_extensions =
                function<PFN_vkEnumerateDeviceExtensionProperties>("vkEnumerateDeviceExtensionProperties");
            if (!device_extensions ||
                !has_extension(enumerate<VkExtensionProperties>(device_extensions, device, nullptr),
                               VK_KHR_DRIVER_PROPERTIES_EXTENSION_NAME)) {
                return;
            }
        }
        VkPhysicalDeviceDriverProperties driver{};
        driver.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DRIVER_PROPERTIES;
        VkPhysicalDeviceProperties2 props{};
        props.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2;
        props.pNext = &driver;
        properties2_(device, &props);
        gpu.driver = fixed_text(driver.driverName, VK_MAX_DRIVER_NAME_SIZE);
        gpu.driver_info = fixed_text(driver.driverInfo, VK_MAX_DRIVER_INFO_SIZE);
    }

    PFN_vkGetInstanceProcAddr get_proc_;
    VkInstance instance_ = VK_NULL_HANDLE;
    std::uint32_t api_version_ = VK_API_VERSION_1_0;
    PFN_vkGetPhysicalDeviceProperties2 properties2_ = nullptr;
};

}  // namespace

std::vector<GpuInfo> vulkan_adapters() {
    auto get_proc = runtime_function<PFN_vkGetInstanceProcAddr>(runtime_library(loader_name), "vkGetInstanceProcAddr");
    if (!get_proc) return {};
    Instance instance(get_proc);
    if (!instance) return {};
    return instance.adapters();
}

}  // namespace launcher::gpu
