#include "plugins/window/window_plugin.hpp"

#include <page/scripts.hpp>

#include "plugins/window/window_commands.hpp"

namespace launcher::plugins::window {

namespace {

// Decodes the optional `label` and finds the window; every window command starts this way.
std::expected<core::Window*, std::string> window_of(core::Invocation& inv) {
    auto label = inv.optional<std::string>("label");
    if (!label) return std::unexpected(label.error());
    return addressed_window(inv.app(), *label, inv.caller());
}

}  // namespace

void register_window_plugin(core::App& app) {
    auto commands = app.router().plugin("window");
    for (const auto& getter : window_getters()) {
        commands.add(getter.name, core::RunOn::main_thread,
                     [read = getter.read](core::Invocation& inv) -> core::CommandResult {
                         auto window = window_of(inv);
                         if (!window) return std::unexpected(window.error());
                         return read(**window);
                     });
    }
    for (const auto& action : window_actions()) {
        commands.add(action.name, core::RunOn::main_thread,
                     [act = action.act](core::Invocation& inv) -> core::CommandResult {
                         auto window = window_of(inv);
                         if (!window) return std::unexpected(window.error());
                         act(**window);
                         return nullptr;
                     });
    }
    commands.add("get_all_windows", core::RunOn::main_thread, [](core::Invocation& inv) -> core::CommandResult {
        auto labels = Json::array();
        for (const auto* window : inv.app().windows()) labels.push_back(window->label());
        return labels;
    });
    commands.add("monitor_from_point", core::RunOn::main_thread, [](core::Invocation& inv) -> core::CommandResult {
        auto window = window_of(inv);
        if (!window) return std::unexpected(window.error());
        auto point = inv.decode<double, double>("x", "y");
        if (!point) return std::unexpected(point.error());
        auto [x, y] = *point;
        return monitor_json(monitor_at((*window)->available_monitors(), x, y));
    });
    app.add_page_script({std::string(page::drag_region), true});
}

}  // namespace launcher::plugins::window
