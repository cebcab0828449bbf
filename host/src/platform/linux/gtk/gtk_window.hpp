#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

#include "core/app.hpp"
#include "core/window.hpp"
#include "platform/desktop.hpp"
#include "platform/linux/gtk/webkit_view.hpp"

namespace launcher::platform::gtk {

using core::Monitor;
using core::Position;
using core::Size;

// A top-level GTK window holding one web view. Emits "tauri://resize" after each size change
// and "tauri://theme-changed" when the system theme flips (unless the window's theme is fixed).
// Main thread.
class GtkLauncherWindow final : public core::Window {
public:
    GtkLauncherWindow(core::App& app, WebKitWebContext* context, const WindowConfig& config, GdkPixbuf* icon,
                      WebKitWebView* related, bool controlled_by_automation, std::function<void()> on_destroyed);
    ~GtkLauncherWindow() override;

    WebView& web_view() { return *view_; }

    const std::string& label() const override { return label_; }
    void show() override;
    void hide() override;
    void close() override;
    void minimize() override;
    void toggle_maximize() override;
    void start_dragging() override;
    bool is_maximized() const override;
    bool is_minimized() const override;
    bool is_fullscreen() const override;
    bool is_visible() const override;
    bool is_focused() const override;
    bool is_decorated() const override;
    bool is_resizable() const override;
    bool is_always_on_top() const override;
    bool is_closable() const override;
    bool is_maximizable() const override;
    bool is_minimizable() const override;
    bool is_enabled() const override;
    std::string title() const override;
    std::string theme() const override;
    double scale_factor() const override;
    Size inner_size() const override;
    Size outer_size() const override;
    Position inner_position() const override;
    Position outer_position() const override;
    std::optional<Monitor> current_monitor() const override;
    std::optional<Monitor> primary_monitor() const override;
    std::vector<Monitor> available_monitors() const override;
    Position cursor_position() const override;

private:
    static gboolean on_configure(GtkWidget*, GdkEventConfigure*, gpointer self);
    static gboolean on_window_state(GtkWidget*, GdkEventWindowState* event, gpointer self);
    static void on_destroy(GtkWidget*, gpointer self);
    static void on_theme_setting(GObject*, GParamSpec*, gpointer self);
    void apply(const WindowConfig& config, GdkPixbuf* icon);

    core::App& app_;
    std::string label_;
    std::optional<std::string> fixed_theme_;
    bool always_on_top_ = false;
    bool transparent_ = false;
    GtkWidget* window_ = nullptr;
    std::unique_ptr<WebView> view_;
    GdkWindowState state_ = GdkWindowState(0);
    Size last_size_;
    std::string last_theme_;
    std::function<void()> on_destroyed_;
};

}  // namespace launcher::platform::gtk
