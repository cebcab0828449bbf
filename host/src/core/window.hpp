#pragma once

#include <optional>
#include <string>
#include <vector>

namespace launcher::core {

struct Size {
    int width = 0;
    int height = 0;
};

struct Position {
    int x = 0;
    int y = 0;
};

// A display attached to the computer; geometry in physical pixels of the virtual screen.
struct Monitor {
    std::string name;
    Size size;
    Position position;
    // The part not taken by panels and docks.
    Size work_area_size;
    Position work_area_position;
    double scale_factor = 1;
};

// One top-level window with its web view. Every member must be called on the main thread.
class Window {
public:
    virtual ~Window() = default;

    virtual const std::string& label() const = 0;

    virtual void show() = 0;
    virtual void hide() = 0;
    // Runs the ordinary close sequence: the window and its page are destroyed.
    virtual void close() = 0;
    virtual void minimize() = 0;
    virtual void toggle_maximize() = 0;
    // Starts an interactive move with the pointer, as a press on a title bar would.
    virtual void start_dragging() = 0;

    virtual bool is_maximized() const = 0;
    virtual bool is_minimized() const = 0;
    virtual bool is_fullscreen() const = 0;
    virtual bool is_visible() const = 0;
    virtual bool is_focused() const = 0;
    virtual bool is_decorated() const = 0;
    virtual bool is_resizable() const = 0;
    virtual bool is_always_on_top() const = 0;
    // Whether the window manager offers to close, maximize or minimize the window.
    virtual bool is_closable() const = 0;
    virtual bool is_maximizable() const = 0;
    virtual bool is_minimizable() const = 0;
    // Whether the window takes the user's input.
    virtual bool is_enabled() const = 0;
    virtual std::string title() const = 0;
    // "light" or "dark": the window's effective colour theme.
    virtual std::string theme() const = 0;
    virtual double scale_factor() const = 0;
    // Physical pixels, as the page's window API reports them.
    virtual Size inner_size() const = 0;
    virtual Size outer_size() const = 0;
    virtual Position inner_position() const = 0;
    virtual Position outer_position() const = 0;

    // The monitor showing most of the window; none while it is not on any.
    virtual std::optional<Monitor> current_monitor() const = 0;
    virtual std::optional<Monitor> primary_monitor() const = 0;
    virtual std::vector<Monitor> available_monitors() const = 0;
    // The pointer's position on the virtual screen, in physical pixels.
    virtual Position cursor_position() const = 0;
};

}  // namespace launcher::core
