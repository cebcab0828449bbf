#include "platform/linux/gtk/gtk_desktop.hpp"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <vector>

#include "platform/linux/gtk/app_scheme.hpp"

namespace launcher::platform {

std::expected<std::unique_ptr<Desktop>, std::string> Desktop::connect() {
    if (!gtk_init_check(nullptr, nullptr)) return std::unexpected(std::string("cannot open the display"));
    return std::make_unique<gtk::GtkDesktop>();
}

}  // namespace launcher::platform

namespace launcher::platform::gtk {

namespace {

// The web view's per-user data and cache live in folders named after the identifier.
GObjectPtr<WebKitWebContext> make_context(const std::string& identifier) {
    auto data = std::string(g_get_user_data_dir()) + "/" + identifier;
    auto cache = std::string(g_get_user_cache_dir()) + "/" + identifier;
    auto* manager = webkit_website_data_manager_new("base-data-directory", data.c_str(), "base-cache-directory",
                                                    cache.c_str(), nullptr);
    auto context = GObjectPtr<WebKitWebContext>::adopt(webkit_web_context_new_with_website_data_manager(manager));
    g_object_unref(manager);
    webkit_web_context_set_cache_model(context.get(), WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    return context;
}

GdkPixbuf* make_icon(const DesktopConfig& config) {
    if (config.icon_size <= 0 ||
        config.icon_rgba.size() != static_cast<std::size_t>(config.icon_size * config.icon_size * 4)) {
        return nullptr;
    }
    auto* bytes = g_bytes_new(config.icon_rgba.data(), config.icon_rgba.size());
    auto* icon = gdk_pixbuf_new_from_bytes(bytes, GDK_COLORSPACE_RGB, TRUE, 8, config.icon_size, config.icon_size,
                                           config.icon_size * 4);
    g_bytes_unref(bytes);
    return icon;
}

}  // namespace

GtkDesktop::~GtkDesktop() { windows_.clear(); }

void GtkDesktop::post(std::function<void()> task) {
    bool schedule = false;
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        schedule = !std::exchange(drain_scheduled_, true);
    }
    if (schedule) g_main_context_invoke_full(nullptr, G_PRIORITY_DEFAULT, drain, this, nullptr);
}

// Runs every task queued so far; tasks posted meanwhile schedule the next drain.
gboolean GtkDesktop::drain(gpointer self) {
    auto* desktop = static_cast<GtkDesktop*>(self);
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(desktop->mutex_);
        batch.swap(desktop->tasks_);
        desktop->drain_scheduled_ = false;
    }
    for (auto& task : batch) task();
    return G_SOURCE_REMOVE;
}

void GtkDesktop::quit(int code) {
    exit_code_ = code;
    if (running_) {
        running_ = false;
        gtk_main_quit();
    }
}

int GtkDesktop::run(core::App& app, const DesktopConfig& config, std::function<void()> on_ready) {
    context_ = make_context(config.identifier);
    register_app_scheme(context_.get(), config.content);
#if LAUNCHER_AUTOMATION
    enable_automation(app, context_.get(), config.automated_window);
#endif
    post([this, &app, &config, on_ready = std::move(on_ready)] {
        create_windows(app, config);
        on_ready();
    });
    running_ = true;
    gtk_main();
    running_ = false;
    windows_.clear();
    return exit_code_;
}

void GtkDesktop::create_windows(core::App& app, const DesktopConfig& config) {
    auto* icon = make_icon(config);
    // Every later view shares the first one's web process. Under automation the driven view must be
    // that first one: WebKit refuses to drive a view related to one it does not drive.
    bool automation = webkit_web_context_is_automation_allowed(context_.get());
    std::vector<const WindowConfig*> order;
    for (const auto& window_config : config.windows) order.push_back(&window_config);
    auto driven = [&](const WindowConfig* w) { return automation && w->label == config.automated_window; };
    std::stable_partition(order.begin(), order.end(), driven);
    WebKitWebView* first = nullptr;
    for (const auto* window_config : order) {
        auto window =
            std::make_unique<GtkLauncherWindow>(app, context_.get(), *window_config, icon, first, driven(window_config),
                                                [this, label = window_config->label] { window_destroyed(label); });
        if (!first) first = window->web_view().view();
        windows_[window_config->label] = std::move(window);
    }
    if (icon) g_object_unref(icon);
}

// The window object is released after the destroy signal has finished with it; when the last
// window is gone the loop ends.
void GtkDesktop::window_destroyed(const std::string& label) {
    post([this, label] {
        windows_.erase(label);
        if (windows_.empty()) quit(exit_code_);
    });
}

// Lets WebKitWebDriver drive the configured window's view (end-to-end test builds only).
void GtkDesktop::enable_automation(core::App& app, WebKitWebContext* context, const std::string& automated_window) {
    webkit_web_context_set_automation_allowed(context, TRUE);
    app_name_ = app.info().name;
    automated_window_ = automated_window;
    g_signal_connect(context, "automation-started",
                     G_CALLBACK(+[](WebKitWebContext*, WebKitAutomationSession* session, gpointer self) {
                         auto* desktop = static_cast<GtkDesktop*>(self);
                         auto* info = webkit_application_info_new();
                         webkit_application_info_set_name(info, desktop->app_name_.c_str());
                         webkit_automation_session_set_application_info(session, info);
                         webkit_application_info_unref(info);
                         g_signal_connect(session, "create-web-view", G_CALLBACK(automated_view_for_driver), self);
                     }),
                     this);
}

WebKitWebView* GtkDesktop::automated_view_for_driver(WebKitAutomationSession*, gpointer self) {
    auto* desktop = static_cast<GtkDesktop*>(self);
    auto& windows = desktop->windows_;
    auto it = windows.find(desktop->automated_window_);
    return it == windows.end() ? nullptr : it->second->web_view().view();
}

}  // namespace launcher::platform::gtk
