#pragma once

#include "core/app.hpp"

namespace launcher::plugins::path {

// Plugin "path": the text operations basename, dirname, extname, is_absolute, join and
// normalize. Start-up only.
void register_path_plugin(core::App& app);

}  // namespace launcher::plugins::path
