#pragma once

#include <optional>
#include <string>

#include "core/app.hpp"

namespace launcher {

// The host's built-in command groups (app, event, resources, window, webview, path, process), in
// the order they initialise. `packaging_kind` is what the app group answers for the bundle type.
// The launcher registers its own plugins after these.
void register_host_plugins(core::App& app, std::optional<std::string> packaging_kind);

}  // namespace launcher
