#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace launcher::gpu {

// The build machine's own tools, read as references for what the providers report.

// The devices `vulkaninfo --summary` lists, each as its "key = value" lines (deviceName,
// vendorID, deviceID, driverName, driverInfo, ...). Empty when it lists none.
std::vector<std::map<std::string, std::string>> vulkaninfo_devices(std::string_view summary);

// The "OpenGL <what> string: <value>" lines of `glxinfo -B`, by <what> ("vendor", "renderer",
// "version", "shading language version", "core profile version", ...).
std::map<std::string, std::string> glxinfo_strings(std::string_view report);

}  // namespace launcher::gpu
