#pragma once

#include "core/app.hpp"

namespace launcher::plugins {

// The application's own facts: plugin "app" with name, version, identifier and
// supports_multiple_windows. Commands without meaning for this host (bundle type, listeners of
// mobile app events, the framework version) are not served.
void register_app_plugin(core::App& app);

}  // namespace launcher::plugins
