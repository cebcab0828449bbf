#include "plugins/window/window_commands.hpp"

#include <array>

namespace launcher::plugins::window {

std::expected<core::Window*, std::string> addressed_window(const core::App& app,
                                                           const std::optional<std::string>& label,
                                                           const core::Caller& caller) {
    const auto& wanted = label ? *label : caller.window;
    if (auto* window = app.find_window(wanted)) return window;
    return std::unexpected(std::string("window not found"));
}

Json size_json(core::Size size) { return {{"width", size.width}, {"height", size.height}}; }

Json position_json(core::Position position) { return {{"x", position.x}, {"y", position.y}}; }

Json monitor_json(const std::optional<core::Monitor>& monitor) {
    if (!monitor) return nullptr;
    return {{"name", monitor->name},
            {"size", size_json(monitor->size)},
            {"position", position_json(monitor->position)},
            {"workArea",
             {{"position", position_json(monitor->work_area_position)}, {"size", size_json(monitor->work_area_size)}}},
            {"scaleFactor", monitor->scale_factor}};
}

std::optional<core::Monitor> monitor_at(std::span<const core::Monitor> monitors, double x, double y) {
    for (const auto& monitor : monitors) {
        const auto& [left, top] = monitor.position;
        if (x >= left && x < left + monitor.size.width && y >= top && y < top + monitor.size.height) return monitor;
    }
    return std::nullopt;
}

namespace {

using core::Window;

const std::array getters{
    WindowGetter{"is_maximized", [](const Window& w) { return Json(w.is_maximized()); }},
    WindowGetter{"is_minimized", [](const Window& w) { return Json(w.is_minimized()); }},
    WindowGetter{"is_fullscreen", [](const Window& w) { return Json(w.is_fullscreen()); }},
    WindowGetter{"is_visible", [](const Window& w) { return Json(w.is_visible()); }},
    WindowGetter{"is_focused", [](const Window& w) { return Json(w.is_focused()); }},
    WindowGetter{"is_decorated", [](const Window& w) { return Json(w.is_decorated()); }},
    WindowGetter{"is_resizable", [](const Window& w) { return Json(w.is_resizable()); }},
    WindowGetter{"is_always_on_top", [](const Window& w) { return Json(w.is_always_on_top()); }},
    WindowGetter{"is_closable", [](const Window& w) { return Json(w.is_closable()); }},
    WindowGetter{"is_enabled", [](const Window& w) { return Json(w.is_enabled()); }},
    WindowGetter{"is_maximizable", [](const Window& w) { return Json(w.is_maximizable()); }},
    WindowGetter{"is_minimizable", [](const Window& w) { return Json(w.is_minimizable()); }},
    WindowGetter{"title", [](const Window& w) { return Json(w.title()); }},
    WindowGetter{"theme", [](const Window& w) { return Json(w.theme()); }},
    WindowGetter{"scale_factor", [](const Window& w) { return Json(w.scale_factor()); }},
    WindowGetter{"inner_size", [](const Window& w) { return size_json(w.inner_size()); }},
    WindowGetter{"outer_size", [](const Window& w) { return size_json(w.outer_size()); }},
    WindowGetter{"inner_position", [](const Window& w) { return position_json(w.inner_position()); }},
    WindowGetter{"outer_position", [](const Window& w) { return position_json(w.outer_position()); }},
    WindowGetter{"current_monitor", [](const Window& w) { return monitor_json(w.current_monitor()); }},
    WindowGetter{"primary_monitor", [](const Window& w) { return monitor_json(w.primary_monitor()); }},
    WindowGetter{"available_monitors",
                 [](const Window& w) {
                     auto monitors = Json::array();
                     for (const auto& monitor : w.available_monitors()) monitors.push_back(monitor_json(monitor));
                     return monitors;
                 }},
    WindowGetter{"cursor_position", [](const Window& w) { return position_json(w.cursor_position()); }},
};

const std::array actions{
    WindowAction{"minimize", [](Window& w) { w.minimize(); }},
    WindowAction{"toggle_maximize", [](Window& w) { w.toggle_maximize(); }},
    // The drag region's double-click: like a native title bar, it leaves a window the user may
    // not resize as it is.
    WindowAction{"internal_toggle_maximize",
                 [](Window& w) {
                     if (w.is_resizable()) w.toggle_maximize();
                 }},
    WindowAction{"close", [](Window& w) { w.close(); }},
    WindowAction{"start_dragging", [](Window& w) { w.start_dragging(); }},
};

}  // namespace

std::span<const WindowGetter> window_getters() { return getters; }

std::span<const WindowAction> window_actions() { return actions; }

}  // namespace launcher::plugins::window
