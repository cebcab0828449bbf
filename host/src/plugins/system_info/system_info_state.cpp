#include "plugins/system_info/system_info_state.hpp"

#include <thread>

namespace launcher::plugins::system_info {

SystemInfoState::SystemInfoState(std::shared_ptr<platform::SystemProbe> probe, std::chrono::milliseconds usage_interval)
    : probe_(std::move(probe)) {
    memory_ = probe_->memory().value_or(platform::MemoryFigures{});
    swap_ = probe_->swap().value_or(platform::SwapFigures{});

    auto count = probe_->logical_processors();
    auto identity = probe_->processor_identity();
    auto frequencies = probe_->frequencies_mhz().value_or(std::vector<std::uint64_t>{});
    cpus_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        Cpu cpu;
        cpu.name = "CPU " + std::to_string(i + 1);
        cpu.frequency = i < frequencies.size() ? frequencies[i] : 0;
        cpu.vendor_id = identity.vendor_id;
        cpu.brand = identity.brand;
        cpus_.push_back(std::move(cpu));
    }

    first_reading_ = probe_->processor_times();
    second_reading_due_ = std::chrono::steady_clock::now() + usage_interval;
}

void SystemInfoState::finish_usage_measurement() {
    std::lock_guard measuring(measurement_mutex_);
    if (measured_) return;
    std::vector<float> usage;
    if (first_reading_) {
        std::this_thread::sleep_until(second_reading_due_);
        if (auto second = probe_->processor_times()) usage = usage_between(*first_reading_, *second, cpus_.size());
    }
    usage.resize(cpus_.size(), std::numeric_limits<float>::quiet_NaN());
    {
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < cpus_.size(); ++i) cpus_[i].cpu_usage = usage[i];
    }
    measured_ = true;
}

CpuInfo SystemInfoState::cpu_info() {
    finish_usage_measurement();
    std::lock_guard lock(mutex_);
    return {cpus_, cpus_.size()};
}

MemoryInfo SystemInfoState::memory_info() {
    std::lock_guard lock(mutex_);
    memory_ = probe_->memory().value_or(platform::MemoryFigures{});
    if (auto swap = probe_->swap()) swap_ = *swap;
    auto available = std::min(memory_.available, memory_.total);
    return {memory_.total, memory_.total - available, swap_.total, swap_.used};
}

}  // namespace launcher::plugins::system_info
