#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/system_probe.hpp"
#include "plugins/system_info/system_info_records.hpp"

namespace launcher::plugins::system_info {

// The snapshot behind the system-info commands, created once at start-up. Memory figures are
// read afresh on every memory_info(); processor figures are taken once and never change.
//
// A processor's usage needs two readings of its times: the first is taken here, the second
// `usage_interval` later by finish_usage_measurement(), which start-up runs on a worker so it
// costs the windows nothing. A cpu_info() that comes earlier finishes the measurement itself
// (waiting out the rest of the interval), so every answer carries the same measured figures.
class SystemInfoState {
public:
    static constexpr std::chrono::milliseconds default_usage_interval{100};

    // Any thread.
    explicit SystemInfoState(std::shared_ptr<platform::SystemProbe> probe,
                             std::chrono::milliseconds usage_interval = default_usage_interval);

    // Takes the second reading once the interval has passed and freezes every processor's usage.
    // Only the first call measures; the others wait for it. Any thread.
    void finish_usage_measurement();

    // Any thread.
    CpuInfo cpu_info();
    // One refresh of the memory figures, so used memory never exceeds total memory. A failed
    // memory query gives zeros; a failed swap query keeps the previous swap figures.
    MemoryInfo memory_info();

private:
    const std::shared_ptr<platform::SystemProbe> probe_;

    // The snapshot; held for one refresh, read or copy.
    std::mutex mutex_;
    platform::MemoryFigures memory_;
    platform::SwapFigures swap_;
    std::vector<Cpu> cpus_;

    // Held across the usage measurement, so a second caller waits for its result.
    std::mutex measurement_mutex_;
    bool measured_ = false;
    std::optional<std::vector<platform::ProcessorTimes>> first_reading_;
    std::chrono::steady_clock::time_point second_reading_due_;
};

}  // namespace launcher::plugins::system_info
