#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/json.hpp"
#include "platform/system_probe.hpp"

namespace launcher::plugins::system_info {

// One logical processor. Field order is the JSON key order.
struct Cpu {
    std::string name;             // "CPU 1", "CPU 2", ...
    std::uint64_t frequency = 0;  // MHz
    float cpu_usage = 0;          // percent
    std::string vendor_id;
    std::string brand;
};

struct CpuInfo {
    std::vector<Cpu> cpus;
    std::uint64_t cpu_count = 0;
};

// All in bytes.
struct MemoryInfo {
    std::uint64_t total_memory = 0;
    std::uint64_t used_memory = 0;
    std::uint64_t total_swap = 0;
    std::uint64_t used_swap = 0;
};

// A 32-bit float as the shortest decimal that reads back as the same float, always with a
// fractional part ("100.0"); null when it is not finite.
Json float_json(float value);

Json to_json(const CpuInfo& info);
Json to_json(const MemoryInfo& info);

// Each processor's busy percentage between two readings of cumulative times, for `count`
// processors. NaN where a reading is missing or no time passed or a counter went backwards
// (a processor taken offline and back), so nothing is claimed that was not measured.
std::vector<float> usage_between(const std::vector<platform::ProcessorTimes>& before,
                                 const std::vector<platform::ProcessorTimes>& after, std::size_t count);

}  // namespace launcher::plugins::system_info
