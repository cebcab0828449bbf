#include "launcher/host_plugins.hpp"

#include <utility>

#include "plugins/app/app_plugin.hpp"
#include "plugins/event/event_plugin.hpp"
#include "plugins/path/path_plugin.hpp"
#include "plugins/process/process_plugin.hpp"
#include "plugins/resources/resources_plugin.hpp"
#include "plugins/webview/webview_plugin.hpp"
#include "plugins/window/window_plugin.hpp"

namespace launcher {

void register_host_plugins(core::App& app, std::optional<std::string> packaging_kind) {
    plugins::app::register_app_plugin(app, std::move(packaging_kind));
    plugins::event::register_event_plugin(app);
    plugins::resources::register_resources_plugin(app);
    plugins::window::register_window_plugin(app);
    plugins::webview::register_webview_plugin(app);
    plugins::path::register_path_plugin(app);
    plugins::process::register_process_plugin(app);
}

}  // namespace launcher
