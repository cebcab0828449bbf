#pragma once

#include "core/app.hpp"

namespace launcher::plugins::window {

// Plugin "window": the title-bar actions (minimize, toggle_maximize, internal_toggle_maximize,
// close, start_dragging) and the window getters, each addressed to the window named by the
// optional `label` argument or else to the calling window. Also injects the drag-region script
// into every page. Start-up only.
void register_window_plugin(core::App& app);

}  // namespace launcher::plugins::window
