#pragma once

#include "core/app.hpp"

namespace launcher {

// The launcher's own commands, `set_complete` and `list_gpus`. They carry no permissions: any
// window of the launcher may call them.
void register_launcher_commands(core::App& app);

}  // namespace launcher
