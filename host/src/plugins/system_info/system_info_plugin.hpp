#pragma once

#include <memory>

#include "core/app.hpp"
#include "platform/system_probe.hpp"

namespace launcher::plugins::system_info {

// Start-up only. Creates the SystemInfoState snapshot, starts its usage measurement on a worker,
// and adds the plugin "system-info" with its two synchronous commands, "cpu_info" and
// "memory_info".
void register_system_info_plugin(core::App& app, std::shared_ptr<platform::SystemProbe> probe);

}  // namespace launcher::plugins::system_info
