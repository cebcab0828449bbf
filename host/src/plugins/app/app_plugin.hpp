#pragma once

#include <optional>
#include <string>

#include "core/app.hpp"

namespace launcher::plugins::app {

// The version of the page API this host implements: pages written for that release of the
// framework read it through tauri_version.
inline constexpr const char* page_api_version = "2.11.0";

// The application's own facts: plugin "app" with name, version, identifier,
// supports_multiple_windows, tauri_version and bundle_type, which answers `bundle_type` (how this
// build was packaged: "nsis", "msi") or null when the build carries no packaging kind. The
// listeners of mobile app events are not served. Start-up only.
void register_app_plugin(core::App& app, std::optional<std::string> bundle_type);

}  // namespace launcher::plugins::app
