#pragma once

#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/app.hpp"
#include "core/json.hpp"
#include "core/window.hpp"

namespace launcher::plugins::window {

// The window a command addresses: the one labelled `label` when given, else the caller's own.
// Main thread only.
std::expected<core::Window*, std::string> addressed_window(const core::App& app,
                                                           const std::optional<std::string>& label,
                                                           const core::Caller& caller);

// A command that reads one fact of a window and answers it as JSON.
struct WindowGetter {
    std::string_view name;
    Json (*read)(const core::Window&);
};

// A command that acts on a window and answers null.
struct WindowAction {
    std::string_view name;
    void (*act)(core::Window&);
};

std::span<const WindowGetter> window_getters();
std::span<const WindowAction> window_actions();

// Sizes as {"width", "height"} and positions as {"x", "y"}, in physical pixels.
Json size_json(core::Size size);
Json position_json(core::Position position);
// {"name", "size", "position", "workArea": {"position", "size"}, "scaleFactor"}, or null.
Json monitor_json(const std::optional<core::Monitor>& monitor);

// The monitor whose area holds the point (physical pixels), if any.
std::optional<core::Monitor> monitor_at(std::span<const core::Monitor> monitors, double x, double y);

}  // namespace launcher::plugins::window
