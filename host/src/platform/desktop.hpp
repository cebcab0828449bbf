#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/main_loop.hpp"

namespace launcher::core {
class App;
}

namespace launcher::platform {

// How one window is created; sizes are logical pixels.
struct WindowConfig {
    std::string label;
    std::string page;  // a path inside the application's content, e.g. "index.html"
    std::string title;
    double width = 800;
    double height = 600;
    std::optional<double> min_width;
    std::optional<double> min_height;
    bool center = false;
    bool resizable = true;
    bool visible = true;
    bool decorations = true;
    bool transparent = false;
    bool always_on_top = false;
    bool skip_taskbar = false;
    std::optional<std::string> theme;  // "light" or "dark"; none follows the system
};

// One answer of the application's content protocol.
struct Content {
    std::string mime_type;
    std::vector<std::uint8_t> body;
};
using ContentProvider = std::function<std::expected<Content, std::string>(std::string_view path)>;

struct DesktopConfig {
    std::string identifier;               // names the web view's per-user data folder
    std::vector<WindowConfig> windows;    // created in this order
    ContentProvider content;              // serves the application's own scheme
    std::vector<std::uint8_t> icon_rgba;  // square, 8-bit RGBA, for every window
    int icon_size = 0;
    // The label of the window whose view a WebDriver session drives, in builds that allow
    // automation.
    std::string automated_window;
};

// The windowing system: the main loop, the windows and their web views. Created and run on
// the main thread.
class Desktop : public core::MainLoop {
public:
    // Connects to the display; fails with a message when there is none.
    static std::expected<std::unique_ptr<Desktop>, std::string> connect();

    // Runs the loop until quit() or until the last window is gone; returns the exit code.
    // When the loop is ready, creates every window of the config in order, then calls on_ready.
    virtual int run(core::App& app, const DesktopConfig& config, std::function<void()> on_ready) = 0;
};

// The application's own scheme and origin: pages served from it are the only local pages.
inline constexpr std::string_view app_scheme = "tauri";
inline constexpr std::string_view app_origin = "tauri://localhost";

}  // namespace launcher::platform
