#pragma once

#include <vector>

#include "core/json.hpp"
#include "gpu/gpu_info.hpp"
#include "platform/system_probe.hpp"
#include "plugins/system_info/system_info_records.hpp"

namespace launcher::report_tool {

// The system report as the report dialog sends it with every group selected: {system, cpu,
// gpu, memory}, `system` holding arch, platform, type, version and locale.
Json system_report(const platform::OsFacts& facts, const std::optional<std::string>& locale,
                   const plugins::system_info::CpuInfo& cpu, const std::vector<gpu::GpuInfo>& gpus,
                   const plugins::system_info::MemoryInfo& memory);

}  // namespace launcher::report_tool
