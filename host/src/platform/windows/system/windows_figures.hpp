#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_probe.hpp"

namespace launcher::platform::windows_system {

// What the Windows probes turn the system's answers into. Kept free of Windows headers, so the
// formulas are tested on every build; the probes feed them the raw figures.

// K32GetPerformanceInformation's figures; every count is in pages.
struct PerformanceCounts {
    std::uint64_t page_size = 0;
    std::uint64_t commit_limit = 0;
    std::uint64_t commit_total = 0;
    std::uint64_t physical_total = 0;
};

// Swap is the commit capacity and the committed memory beyond physical memory: page size times
// the excess, 0 when there is none, the largest 64-bit value when the product overflows.
SwapFigures swap_from_performance(const PerformanceCounts& counts);

// A processor's SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION times (100 ns units). Kernel time
// includes idle time, so the total is kernel + user.
ProcessorTimes processor_times(std::uint64_t idle, std::uint64_t kernel, std::uint64_t user);

// RtlGetVersion's numbers.
struct WindowsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};

// "major.minor.build" in plain decimal, or "Unknown" when the query was not available or failed.
std::string version_text(const std::optional<WindowsVersion>& version);

// The platform facts of the Windows x64 build; only the version depends on the machine.
OsFacts os_facts(const std::optional<WindowsVersion>& version);

// The first language of GetUserPreferredUILanguages' NUL-separated list that is valid UTF-16,
// as UTF-8; empty pieces are skipped. Null when none remains.
std::optional<std::string> first_preferred_language(std::u16string_view languages);

}  // namespace launcher::platform::windows_system
