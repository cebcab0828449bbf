#pragma once

#include "core/app.hpp"

namespace launcher::plugins::resources {

// Plugin "resources": close releases a resource of the calling web view by its id (`rid`).
void register_resources_plugin(core::App& app);

}  // namespace launcher::plugins::resources
