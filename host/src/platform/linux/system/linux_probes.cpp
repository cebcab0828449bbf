#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/linux/system/cpuid.hpp"
#include "platform/linux/system/proc_files.hpp"
#include "platform/system_probe.hpp"

namespace launcher::platform {

namespace {

using namespace linux_system;

std::optional<std::string> read_file(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string machine_name() {
    utsname names{};
    if (uname(&names) != 0) return {};
    return names.machine;
}

class LinuxSystemProbe : public SystemProbe {
public:
    std::optional<MemoryFigures> memory() const override {
        auto meminfo = read_file("/proc/meminfo");
        return meminfo ? memory_from_meminfo(*meminfo) : std::nullopt;
    }

    std::optional<SwapFigures> swap() const override {
        auto meminfo = read_file("/proc/meminfo");
        return meminfo ? swap_from_meminfo(*meminfo) : std::nullopt;
    }

    std::size_t logical_processors() const override {
        long online = sysconf(_SC_NPROCESSORS_ONLN);
        return online > 0 ? static_cast<std::size_t>(online) : 1;
    }

    ProcessorIdentity processor_identity() const override {
        auto leaves = read_cpuid();
        if (!leaves) return {machine_name(), {}};
        return identity_from_cpuid(*leaves, machine_name());
    }

    std::optional<std::vector<std::uint64_t>> frequencies_mhz() const override {
        auto cpuinfo = read_file("/proc/cpuinfo");
        if (!cpuinfo) return std::nullopt;
        auto frequencies = frequencies_from_cpuinfo(*cpuinfo);
        if (frequencies.empty()) return std::nullopt;
        return frequencies;
    }

    std::optional<std::vector<ProcessorTimes>> processor_times() const override {
        auto stat = read_file("/proc/stat");
        if (!stat) return std::nullopt;
        return processor_times_from_stat(*stat);
    }
};

const char* target_arch() {
#if defined(__x86_64__)
    return "x86_64";
#elif defined(__aarch64__)
    return "aarch64";
#elif defined(__i386__)
    return "x86";
#elif defined(__arm__)
    return "arm";
#elif defined(__riscv) && __riscv_xlen == 64
    return "riscv64";
#else
    return "unknown";
#endif
}

class LinuxOsProbe : public OsProbe {
public:
    OsFacts facts() const override {
        std::optional<std::string> version;
        for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
            if (auto text = read_file(path)) {
                version = version_from_os_release(*text);
                break;
            }
        }
        return {"\n", "linux", "linux", "unix", version.value_or("Unknown"), target_arch(), ""};
    }

    std::optional<std::string> locale() const override {
        return first_language(
            {std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")});
    }
};

}  // namespace

std::shared_ptr<SystemProbe> make_system_probe() { return std::make_shared<LinuxSystemProbe>(); }

std::shared_ptr<OsProbe> make_os_probe() { return std::make_shared<LinuxOsProbe>(); }

}  // namespace launcher::platform
