#include "host_graphics_reference.hpp"

#include <sstream>

namespace launcher::gpu {

namespace {

std::string trimmed(std::string text) {
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t\r\n") + 1);
    return text;
}

}  // namespace

std::vector<std::map<std::string, std::string>> vulkaninfo_devices(std::string_view summary) {
    std::vector<std::map<std::string, std::string>> devices;
    std::istringstream lines{std::string(summary)};
    bool in_devices = false;
    for (std::string text; std::getline(lines, text);) {
        if (text.starts_with("Devices:")) in_devices = true;
        if (!in_devices) continue;
        if (text.starts_with("GPU")) devices.emplace_back();
        auto equals = text.find(" = ");
        if (devices.empty() || equals == std::string::npos) continue;
        // Values keep their inner and leading spaces; only the line end goes.
        auto value = text.substr(equals + 3);
        value.erase(value.find_last_not_of("\r\n") + 1);
        devices.back()[trimmed(text.substr(0, equals))] = value;
    }
    return devices;
}

std::map<std::string, std::string> glxinfo_strings(std::string_view report) {
    constexpr std::string_view prefix = "OpenGL ";
    constexpr std::string_view marker = " string: ";
    std::map<std::string, std::string> strings;
    std::istringstream lines{std::string(report)};
    for (std::string text; std::getline(lines, text);) {
        auto at = text.find(marker);
        if (!text.starts_with(prefix) || at == std::string::npos) continue;
        auto value = text.substr(at + marker.size());
        value.erase(value.find_last_not_of("\r\n") + 1);
        strings[text.substr(prefix.size(), at - prefix.size())] = value;
    }
    return strings;
}

}  // namespace launcher::gpu
