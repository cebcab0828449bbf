// The system and OS probes of the Windows build: memory through GlobalMemoryStatusEx and
// K32GetPerformanceInfo, processors through GetSystemInfo, CallNtPowerInformation,
// NtQuerySystemInformation and the identification instruction, the version through ntdll's
// RtlGetVersion and the language through GetUserPreferredUILanguages. windows_figures turns the
// raw answers into the shared records.

#include <windows.h>
#include <powrprof.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/linux/system/cpuid.hpp"
#include "platform/system_probe.hpp"
#include "platform/windows/system/windows_figures.hpp"

namespace launcher::platform {

namespace {

using namespace windows_system;

// CallNtPowerInformation's per-processor record for ProcessorInformation, as documented; the
// SDK keeps it in a driver-kit header.
struct ProcessorPowerInformation {
    ULONG number;
    ULONG max_mhz;
    ULONG current_mhz;
    ULONG mhz_limit;
    ULONG max_idle_state;
    ULONG current_idle_state;
};

std::uint64_t from_large(LARGE_INTEGER value) { return static_cast<std::uint64_t>(value.QuadPart); }

// What the identification instruction's vendor falls back to: the architecture the system
// reports.
std::string architecture_name() {
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
        return "x86_64";
    case PROCESSOR_ARCHITECTURE_INTEL:
        return "x86";
    case PROCESSOR_ARCHITECTURE_ARM64:
        return "aarch64";
    case PROCESSOR_ARCHITECTURE_ARM:
        return "arm";
    default:
        return "unknown";
    }
}

class WindowsSystemProbe : public SystemProbe {
public:
    std::optional<MemoryFigures> memory() const override {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        if (!GlobalMemoryStatusEx(&status)) return std::nullopt;
        return MemoryFigures{status.ullTotalPhys, status.ullAvailPhys};
    }

    std::optional<SwapFigures> swap() const override {
        PERFORMANCE_INFORMATION info{};
        if (!K32GetPerformanceInfo(&info, sizeof info)) return std::nullopt;
        return swap_from_performance({info.PageSize, info.CommitLimit, info.CommitTotal, info.PhysicalTotal});
    }

    std::size_t logical_processors() const override {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
    }

    ProcessorIdentity processor_identity() const override {
        auto leaves = linux_system::read_cpuid();
        if (!leaves) return {architecture_name(), {}};
        return linux_system::identity_from_cpuid(*leaves, architecture_name());
    }

    std::optional<std::vector<std::uint64_t>> frequencies_mhz() const override {
        std::vector<ProcessorPowerInformation> records(logical_processors());
        auto size = static_cast<ULONG>(records.size() * sizeof(ProcessorPowerInformation));
        if (CallNtPowerInformation(ProcessorInformation, nullptr, 0, records.data(), size) != 0) return std::nullopt;
        std::vector<std::uint64_t> frequencies;
        for (const auto& record : records) frequencies.push_back(record.current_mhz);
        return frequencies;
    }

    std::optional<std::vector<ProcessorTimes>> processor_times() const override {
        std::vector<SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION> records(logical_processors());
        ULONG size = static_cast<ULONG>(records.size() * sizeof records[0]);
        ULONG written = 0;
        if (NtQuerySystemInformation(SystemProcessorPerformanceInformation, records.data(), size, &written) != 0)
            return std::nullopt;
        records.resize(written / sizeof records[0]);
        std::vector<ProcessorTimes> times;
        for (const auto& record : records)
            times.push_back(windows_system::processor_times(from_large(record.IdleTime), from_large(record.KernelTime),
                                                            from_large(record.UserTime)));
        return times;
    }
};

// RtlGetVersion, looked up by name: unlike GetVersionExW it reports the running version whatever
// the executable's manifest declares.
std::optional<WindowsVersion> running_version() {
    using RtlGetVersion = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll");
    if (!ntdll) return std::nullopt;
    auto query = reinterpret_cast<RtlGetVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (!query) return std::nullopt;
    RTL_OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (query(&info) != 0) return std::nullopt;
    return WindowsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

class WindowsOsProbe : public OsProbe {
public:
    OsFacts facts() const override { return os_facts(running_version()); }

    std::optional<std::string> locale() const override {
        ULONG count = 0;
        ULONG length = 0;
        if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &length) || length == 0)
            return std::nullopt;
        std::vector<wchar_t> buffer(length);
        if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, buffer.data(), &length)) return std::nullopt;
        buffer.resize(std::min<std::size_t>(length, buffer.size()));
        return first_preferred_language(std::u16string(buffer.begin(), buffer.end()));
    }
};

}  // namespace

std::shared_ptr<SystemProbe> make_system_probe() { return std::make_shared<WindowsSystemProbe>(); }

std::shared_ptr<OsProbe> make_os_probe() { return std::make_shared<WindowsOsProbe>(); }

}  // namespace launcher::platform
