#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/desktop.hpp"
#include "platform/linux/gtk/gobject_ptr.hpp"
#include "platform/linux/gtk/gtk_window.hpp"

namespace launcher::platform::gtk {

// The GTK main loop with the windows of the launcher. Tasks posted from any thread run on the
// main thread in the order they were posted.
class GtkDesktop final : public Desktop {
public:
    GtkDesktop() = default;
    ~GtkDesktop() override;

    void post(std::function<void()> task) override;
    void quit(int code) override;
    int run(core::App& app, const DesktopConfig& config, std::function<void()> on_ready) override;

private:
    static gboolean drain(gpointer self);
    void create_windows(core::App& app, const DesktopConfig& config);
    void window_destroyed(const std::string& label);
    void enable_automation(core::App& app, WebKitWebContext* context, const std::string& automated_window);
    static WebKitWebView* automated_view_for_driver(WebKitAutomationSession*, gpointer self);

    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
    bool drain_scheduled_ = false;
    int exit_code_ = 0;
    bool running_ = false;
    std::string app_name_;
    std::string automated_window_;
    GObjectPtr<WebKitWebContext> context_;
    std::map<std::string, std::unique_ptr<GtkLauncherWindow>> windows_;
};

}  // namespace launcher::platform::gtk
