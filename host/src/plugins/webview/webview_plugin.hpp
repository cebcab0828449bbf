#pragma once

#include "core/app.hpp"

namespace launcher::plugins::webview {

// Plugin "webview": the web-view getters get_all_webviews, webview_position and webview_size.
// Every window carries one web view under the window's own label, filling its client area; a
// command addresses the view named by the optional `label` argument or else the calling one.
// Start-up only.
void register_webview_plugin(core::App& app);

}  // namespace launcher::plugins::webview
