#include "plugins/webview/webview_plugin.hpp"

#include "plugins/window/window_commands.hpp"

namespace launcher::plugins::webview {

namespace {

// The window holding the addressed web view: views are labelled as their windows.
std::expected<core::Window*, std::string> window_of_view(core::Invocation& inv) {
    auto label = inv.optional<std::string>("label");
    if (!label) return std::unexpected(label.error());
    auto caller = inv.caller();
    caller.window = caller.webview;
    auto window = window::addressed_window(inv.app(), *label, caller);
    if (!window) return std::unexpected(std::string("webview not found"));
    return window;
}

}  // namespace

void register_webview_plugin(core::App& app) {
    constexpr auto main_thread = core::RunOn::main_thread;
    app.router()
        .plugin("webview")
        .add("get_all_webviews", main_thread,
             [](core::Invocation& inv) -> core::CommandResult {
                 auto views = Json::array();
                 for (const auto* window : inv.app().windows()) {
                     views.push_back({{"windowLabel", window->label()}, {"label", window->label()}});
                 }
                 return views;
             })
        // The view fills its window's client area, so it sits at the area's origin.
        .add("webview_position", main_thread,
             [](core::Invocation& inv) -> core::CommandResult {
                 auto window = window_of_view(inv);
                 if (!window) return std::unexpected(window.error());
                 return window::position_json({0, 0});
             })
        .add("webview_size", main_thread, [](core::Invocation& inv) -> core::CommandResult {
            auto window = window_of_view(inv);
            if (!window) return std::unexpected(window.error());
            return window::size_json((*window)->inner_size());
        });
}

}  // namespace launcher::plugins::webview
