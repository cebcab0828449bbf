#include "plugins/system_info/system_info_records.hpp"

#include <charconv>
#include <cmath>
#include <limits>

namespace launcher::plugins::system_info {

Json float_json(float value) {
    if (!std::isfinite(value)) return nullptr;
    // The float's shortest round-trip digits, read back as the double nearest to them: the JSON
    // writer prints that double with the same digits (and adds ".0" to whole numbers), where
    // widening the float itself would print its binary tail ("9.090909004211426").
    char text[64];
    auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    double widened = 0;
    std::from_chars(text, written.ptr, widened);
    return widened;
}

Json to_json(const CpuInfo& info) {
    Json cpus = Json::array();
    for (const auto& cpu : info.cpus) {
        Json entry = Json::object();
        entry["name"] = cpu.name;
        entry["frequency"] = cpu.frequency;
        entry["cpu_usage"] = float_json(cpu.cpu_usage);
        entry["vendor_id"] = cpu.vendor_id;
        entry["brand"] = cpu.brand;
        cpus.push_back(std::move(entry));
    }
    Json json = Json::object();
    json["cpus"] = std::move(cpus);
    json["cpu_count"] = info.cpu_count;
    return json;
}

Json to_json(const MemoryInfo& info) {
    Json json = Json::object();
    json["total_memory"] = info.total_memory;
    json["used_memory"] = info.used_memory;
    json["total_swap"] = info.total_swap;
    json["used_swap"] = info.used_swap;
    return json;
}

std::vector<float> usage_between(const std::vector<platform::ProcessorTimes>& before,
                                 const std::vector<platform::ProcessorTimes>& after, std::size_t count) {
    std::vector<float> usage(count, std::numeric_limits<float>::quiet_NaN());
    for (std::size_t i = 0; i < count && i < before.size() && i < after.size(); ++i) {
        const auto& a = before[i];
        const auto& b = after[i];
        if (b.total <= a.total || b.idle < a.idle) continue;
        double total = static_cast<double>(b.total - a.total);
        double idle = std::min(static_cast<double>(b.idle - a.idle), total);
        usage[i] = static_cast<float>(100.0 * (total - idle) / total);
    }
    return usage;
}

}  // namespace launcher::plugins::system_info
