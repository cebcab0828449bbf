#include "platform/linux/gtk/gtk_window.hpp"

#include <cmath>
#include <string_view>

namespace launcher::platform::gtk {

namespace {

int to_pixels(double logical) { return static_cast<int>(std::lround(logical)); }

// Whether a GTK theme name names a dark variant: "Adwaita-dark", "Materia-Dark", or GTK_THEME's
// "Adwaita:dark".
bool names_dark_variant(std::string_view name) {
    for (std::string_view suffix : {"-dark", "-Dark", ":dark"}) {
        if (name.ends_with(suffix)) return true;
    }
    return false;
}

// The system theme by the rules WebKitGTK applies to "prefers-color-scheme", so the window and its
// page never disagree: the prefer-dark setting, then the theme's name, then a GTK_THEME override
// (which GTK applies without changing the name). The desktop's own colour-scheme preference
// reaches GTK, and through it both, as these settings.
std::string system_theme() {
    auto* settings = gtk_settings_get_default();
    gboolean prefer_dark = FALSE;
    gchar* name = nullptr;
    g_object_get(settings, "gtk-application-prefer-dark-theme", &prefer_dark, "gtk-theme-name", &name, nullptr);
    bool dark = prefer_dark || (name && names_dark_variant(name));
    g_free(name);
    if (!dark) {
        const char* forced = g_getenv("GTK_THEME");
        dark = forced && names_dark_variant(forced);
    }
    return dark ? "dark" : "light";
}

// GDK measures monitors in application pixels; pages see physical ones.
Monitor monitor_of(GdkMonitor* monitor) {
    int scale = gdk_monitor_get_scale_factor(monitor);
    GdkRectangle area, work;
    gdk_monitor_get_geometry(monitor, &area);
    gdk_monitor_get_workarea(monitor, &work);
    const char* model = gdk_monitor_get_model(monitor);
    return {.name = model ? model : "",
            .size = {area.width * scale, area.height * scale},
            .position = {area.x * scale, area.y * scale},
            .work_area_size = {work.width * scale, work.height * scale},
            .work_area_position = {work.x * scale, work.y * scale},
            .scale_factor = static_cast<double>(scale)};
}

}  // namespace

GtkLauncherWindow::GtkLauncherWindow(core::App& app, WebKitWebContext* context, const WindowConfig& config,
                                     GdkPixbuf* icon, WebKitWebView* related, bool controlled_by_automation,
                                     std::function<void()> on_destroyed)
    : app_(app),
      label_(config.label),
      fixed_theme_(config.theme),
      always_on_top_(config.always_on_top),
      transparent_(config.transparent),
      on_destroyed_(std::move(on_destroyed)) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    view_ = std::make_unique<WebView>(app, context, config, related, controlled_by_automation);
    gtk_container_add(GTK_CONTAINER(window_), view_->widget());
    apply(config, icon);
    g_signal_connect(window_, "configure-event", G_CALLBACK(on_configure), this);
    g_signal_connect(window_, "window-state-event", G_CALLBACK(on_window_state), this);
    g_signal_connect(window_, "destroy", G_CALLBACK(on_destroy), this);
    // A driven view closes its window when the driver asks (window.close() on the driver's side).
    if (controlled_by_automation) {
        g_signal_connect_swapped(view_->view(), "close", G_CALLBACK(gtk_widget_destroy), window_);
    }
    auto* settings = gtk_settings_get_default();
    g_signal_connect(settings, "notify::gtk-application-prefer-dark-theme", G_CALLBACK(on_theme_setting), this);
    g_signal_connect(settings, "notify::gtk-theme-name", G_CALLBACK(on_theme_setting), this);
    last_theme_ = theme();
    app_.add_window(*this);
    gtk_widget_show(view_->widget());
    view_->load(config.page);
    if (config.visible) show();
}

GtkLauncherWindow::~GtkLauncherWindow() {
    g_signal_handlers_disconnect_by_data(gtk_settings_get_default(), this);
    if (window_) {
        g_signal_handlers_disconnect_by_data(window_, this);
        view_.reset();
        gtk_widget_destroy(window_);
    }
}

void GtkLauncherWindow::apply(const WindowConfig& config, GdkPixbuf* icon) {
    auto* window = GTK_WINDOW(window_);
    gtk_window_set_title(window, config.title.c_str());
    gtk_window_set_default_size(window, to_pixels(config.width), to_pixels(config.height));
    if (config.min_width || config.min_height) {
        GdkGeometry hints{};
        hints.min_width = to_pixels(config.min_width.value_or(0));
        hints.min_height = to_pixels(config.min_height.value_or(0));
        gtk_window_set_geometry_hints(window, nullptr, &hints, GDK_HINT_MIN_SIZE);
    }
    gtk_window_set_resizable(window, config.resizable);
    // A window the user cannot resize takes its content's natural size, which for a web view is
    // not the configured one; pin the content to it.
    if (!config.resizable) {
        gtk_widget_set_size_request(view_->widget(), to_pixels(config.width), to_pixels(config.height));
    }
    gtk_window_set_decorated(window, config.decorations);
    gtk_window_set_keep_above(window, config.always_on_top);
    gtk_window_set_skip_taskbar_hint(window, config.skip_taskbar);
    gtk_window_set_skip_pager_hint(window, config.skip_taskbar);
    if (config.center) gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    if (icon) gtk_window_set_icon(window, icon);
    if (config.transparent) {
        if (auto* visual = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window_))) {
            gtk_widget_set_visual(window_, visual);
        }
        gtk_widget_set_app_paintable(window_, TRUE);
    }
}

// An opaque window would show GTK's grey, or nothing, until its page's first frame reaches it. It
// is mapped fully transparent instead and made opaque once its view has drawn, so the first thing
// seen is the page. Without a compositor the opacity hint does nothing and it shows at once.
void GtkLauncherWindow::show() {
    if (transparent_ || gtk_widget_get_visible(window_)) {
        gtk_widget_show(window_);
        return;
    }
    gtk_widget_realize(window_);
    gtk_widget_set_opacity(window_, 0);
    gtk_widget_show(window_);
    view_->after_next_frame([this] {
        if (window_) gtk_widget_set_opacity(window_, 1);
    });
}
void GtkLauncherWindow::hide() { gtk_widget_hide(window_); }
void GtkLauncherWindow::close() { gtk_window_close(GTK_WINDOW(window_)); }
void GtkLauncherWindow::minimize() { gtk_window_iconify(GTK_WINDOW(window_)); }

void GtkLauncherWindow::toggle_maximize() {
    if (is_maximized()) {
        gtk_window_unmaximize(GTK_WINDOW(window_));
    } else {
        gtk_window_maximize(GTK_WINDOW(window_));
    }
}

void GtkLauncherWindow::start_dragging() {
    auto* seat = gdk_display_get_default_seat(gtk_widget_get_display(window_));
    int x = 0, y = 0;
    gdk_device_get_position(gdk_seat_get_pointer(seat), nullptr, &x, &y);
    gtk_window_begin_move_drag(GTK_WINDOW(window_), 1, x, y, GDK_CURRENT_TIME);
}

bool GtkLauncherWindow::is_maximized() const { return gtk_window_is_maximized(GTK_WINDOW(window_)); }
bool GtkLauncherWindow::is_minimized() const { return state_ & GDK_WINDOW_STATE_ICONIFIED; }
bool GtkLauncherWindow::is_fullscreen() const { return state_ & GDK_WINDOW_STATE_FULLSCREEN; }
bool GtkLauncherWindow::is_visible() const { return gtk_widget_get_visible(window_); }
bool GtkLauncherWindow::is_focused() const { return gtk_window_is_active(GTK_WINDOW(window_)); }
bool GtkLauncherWindow::is_decorated() const { return gtk_window_get_decorated(GTK_WINDOW(window_)); }
bool GtkLauncherWindow::is_resizable() const { return gtk_window_get_resizable(GTK_WINDOW(window_)); }
bool GtkLauncherWindow::is_always_on_top() const { return always_on_top_; }
bool GtkLauncherWindow::is_closable() const { return gtk_window_get_deletable(GTK_WINDOW(window_)); }
// GTK lets the window manager maximize exactly the resizable windows, and minimize every one.
bool GtkLauncherWindow::is_maximizable() const { return gtk_window_get_resizable(GTK_WINDOW(window_)); }
bool GtkLauncherWindow::is_minimizable() const { return true; }
bool GtkLauncherWindow::is_enabled() const { return gtk_widget_get_sensitive(window_); }
std::string GtkLauncherWindow::title() const { return gtk_window_get_title(GTK_WINDOW(window_)); }
std::string GtkLauncherWindow::theme() const { return fixed_theme_ ? *fixed_theme_ : system_theme(); }
double GtkLauncherWindow::scale_factor() const { return gtk_widget_get_scale_factor(window_); }

Size GtkLauncherWindow::inner_size() const {
    int width = 0, height = 0;
    gtk_window_get_size(GTK_WINDOW(window_), &width, &height);
    int scale = gtk_widget_get_scale_factor(window_);
    return {width * scale, height * scale};
}

Size GtkLauncherWindow::outer_size() const {
    auto* gdk_window = gtk_widget_get_window(window_);
    if (!gdk_window) return inner_size();
    GdkRectangle frame;
    gdk_window_get_frame_extents(gdk_window, &frame);
    int scale = gtk_widget_get_scale_factor(window_);
    return {frame.width * scale, frame.height * scale};
}

Position GtkLauncherWindow::inner_position() const {
    auto* gdk_window = gtk_widget_get_window(window_);
    int x = 0, y = 0;
    if (gdk_window) gdk_window_get_origin(gdk_window, &x, &y);
    int scale = gtk_widget_get_scale_factor(window_);
    return {x * scale, y * scale};
}

Position GtkLauncherWindow::outer_position() const {
    auto* gdk_window = gtk_widget_get_window(window_);
    if (!gdk_window) return inner_position();
    GdkRectangle frame;
    gdk_window_get_frame_extents(gdk_window, &frame);
    int scale = gtk_widget_get_scale_factor(window_);
    return {frame.x * scale, frame.y * scale};
}

std::optional<Monitor> GtkLauncherWindow::current_monitor() const {
    auto* gdk_window = gtk_widget_get_window(window_);
    if (!gdk_window) return std::nullopt;
    auto* monitor = gdk_display_get_monitor_at_window(gtk_widget_get_display(window_), gdk_window);
    if (!monitor) return std::nullopt;
    return monitor_of(monitor);
}

std::optional<Monitor> GtkLauncherWindow::primary_monitor() const {
    auto* monitor = gdk_display_get_primary_monitor(gtk_widget_get_display(window_));
    if (!monitor) return std::nullopt;
    return monitor_of(monitor);
}

std::vector<Monitor> GtkLauncherWindow::available_monitors() const {
    auto* display = gtk_widget_get_display(window_);
    std::vector<Monitor> monitors;
    for (int i = 0, n = gdk_display_get_n_monitors(display); i < n; ++i) {
        monitors.push_back(monitor_of(gdk_display_get_monitor(display, i)));
    }
    return monitors;
}

Position GtkLauncherWindow::cursor_position() const {
    auto* seat = gdk_display_get_default_seat(gtk_widget_get_display(window_));
    int x = 0, y = 0;
    gdk_device_get_position(gdk_seat_get_pointer(seat), nullptr, &x, &y);
    int scale = gtk_widget_get_scale_factor(window_);
    return {x * scale, y * scale};
}

gboolean GtkLauncherWindow::on_configure(GtkWidget*, GdkEventConfigure*, gpointer self) {
    auto* window = static_cast<GtkLauncherWindow*>(self);
    auto size = window->inner_size();
    if (size.width != window->last_size_.width || size.height != window->last_size_.height) {
        window->last_size_ = size;
        window->app_.events().emit_to(window->label_, "tauri://resize",
                                      Json{{"width", size.width}, {"height", size.height}});
    }
    return FALSE;
}

gboolean GtkLauncherWindow::on_window_state(GtkWidget*, GdkEventWindowState* event, gpointer self) {
    static_cast<GtkLauncherWindow*>(self)->state_ = event->new_window_state;
    return FALSE;
}

void GtkLauncherWindow::on_theme_setting(GObject*, GParamSpec*, gpointer self) {
    auto* window = static_cast<GtkLauncherWindow*>(self);
    auto theme = window->theme();
    if (theme == window->last_theme_) return;
    window->last_theme_ = theme;
    window->app_.events().emit_to(window->label_, "tauri://theme-changed", Json(theme));
}

// The window is going away (closed by the user, a command or the window manager).
void GtkLauncherWindow::on_destroy(GtkWidget*, gpointer self) {
    auto* window = static_cast<GtkLauncherWindow*>(self);
    g_signal_handlers_disconnect_by_data(gtk_settings_get_default(), window);
    window->window_ = nullptr;
    window->app_.remove_window(window->label_);
    window->app_.events().forget_page(window->label_);
    if (window->on_destroyed_) window->on_destroyed_();
}

}  // namespace launcher::platform::gtk
