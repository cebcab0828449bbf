#pragma once

#include <memory>
#include <string>

#include "core/app.hpp"
#include "platform/system_probe.hpp"

namespace launcher::plugins::os {

// The page script defining __TAURI_OS_PLUGIN_INTERNALS__ with these facts, each written as an
// ASCII-only JSON string literal.
std::string os_internals_script(const platform::OsFacts& facts);

// Start-up only. Reads the platform facts once and has every page of every window define them
// before its own scripts run; adds the plugin "os" with its one synchronous command, "locale",
// which reads the user's language afresh on each call.
void register_os_plugin(core::App& app, std::shared_ptr<platform::OsProbe> probe);

}  // namespace launcher::plugins::os
