#include "report_tool/system_report.hpp"

namespace launcher::report_tool {

Json system_report(const platform::OsFacts& facts, const std::optional<std::string>& locale,
                   const plugins::system_info::CpuInfo& cpu, const std::vector<gpu::GpuInfo>& gpus,
                   const plugins::system_info::MemoryInfo& memory) {
    Json system = Json::object();
    system["arch"] = facts.arch;
    system["platform"] = facts.platform;
    system["type"] = facts.os_type;
    system["version"] = facts.version;
    system["locale"] = locale ? Json(*locale) : Json(nullptr);

    Json report = Json::object();
    report["system"] = std::move(system);
    report["cpu"] = plugins::system_info::to_json(cpu);
    report["gpu"] = gpu::to_json(gpus);
    report["memory"] = plugins::system_info::to_json(memory);
    return report;
}

}  // namespace launcher::report_tool
