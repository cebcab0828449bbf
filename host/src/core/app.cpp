#include "core/app.hpp"

namespace launcher::core {

App::App(AppInfo info, MainLoop& loop, unsigned worker_threads)
    : info_(std::move(info)), loop_(loop), workers_(worker_threads), router_(*this) {}

App::~App() { shutdown(); }

ResourceTable& App::webview_resources(const std::string& webview_label) {
    std::lock_guard lock(webview_tables_mutex_);
    auto& table = webview_tables_[webview_label];
    if (!table) table = std::make_unique<ResourceTable>();
    return *table;
}

void App::add_window(Window& window) { windows_[window.label()] = &window; }

void App::remove_window(const std::string& label) { windows_.erase(label); }

Window* App::find_window(const std::string& label) const {
    auto it = windows_.find(label);
    return it == windows_.end() ? nullptr : it->second;
}

std::vector<Window*> App::windows() const {
    std::vector<Window*> all;
    for (const auto& [label, window] : windows_) all.push_back(window);
    return all;
}

void App::request_exit(int code) {
    loop_.post([this, code] {
        clean_up_before_exit();
        loop_.quit(code);
    });
}

void App::request_restart() {
    restart_requested_ = true;
    request_exit(0);
}

void App::clean_up_before_exit() {
    resources_.clear();
    {
        std::lock_guard lock(webview_tables_mutex_);
        for (auto& [label, table] : webview_tables_) table->clear();
    }
    for (auto* window : windows()) window->hide();
}

}  // namespace launcher::core
