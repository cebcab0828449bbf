#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/events.hpp"
#include "core/main_loop.hpp"
#include "core/resource_table.hpp"
#include "core/router.hpp"
#include "core/state.hpp"
#include "core/thread_pool.hpp"
#include "core/window.hpp"

namespace launcher::core {

// The application's identity as pages and plugins see it.
struct AppInfo {
    std::string name;
    std::string version;
    std::string identifier;
};

// A script the host runs in pages before their own scripts, in registration order.
struct PageScript {
    std::string source;
    bool top_frame_only = true;
};

// The host: everything a command may reach. Created once at start-up, before any window.
class App {
public:
    App(AppInfo info, MainLoop& loop, unsigned worker_threads);
    ~App();

    const AppInfo& info() const { return info_; }
    StateManager& state() { return state_; }
    ThreadPool& workers() { return workers_; }
    ThreadPerTask& waiting_tasks() { return waiting_tasks_; }
    Router& router() { return router_; }
    EventBus& events() { return events_; }
    MainLoop& loop() { return loop_; }

    ResourceTable& resources() { return resources_; }
    ResourceTable& webview_resources(const std::string& webview_label);

    // Main thread only. Windows register themselves when created and leave when destroyed.
    void add_window(Window& window);
    void remove_window(const std::string& label);
    Window* find_window(const std::string& label) const;
    std::vector<Window*> windows() const;

    // Start-up only: scripts every page of every window runs at document start.
    void add_page_script(PageScript script) { page_scripts_.push_back(std::move(script)); }
    const std::vector<PageScript>& page_scripts() const { return page_scripts_; }

    // The command-line arguments given at start, without the executable path.
    void set_relaunch_args(std::vector<std::string> args) { relaunch_args_ = std::move(args); }
    const std::vector<std::string>& relaunch_args() const { return relaunch_args_; }

    // Any thread: asks the main loop to run the pre-exit clean-up and leave with this code.
    void request_exit(int code);
    // Any thread: as request_exit(0), and the launcher starts itself again once the loop ends.
    void request_restart();
    bool restart_requested() const { return restart_requested_; }

    // Main thread: releases every resource table and hides every window.
    void clean_up_before_exit();

    // Joins the workers and the threads of waiting tasks; call after the main loop has ended.
    void shutdown() {
        waiting_tasks_.shutdown();
        workers_.shutdown();
    }

private:
    AppInfo info_;
    MainLoop& loop_;
    StateManager state_;
    ThreadPool workers_;
    ThreadPerTask waiting_tasks_;
    Router router_;
    EventBus events_;
    ResourceTable resources_;
    mutable std::mutex webview_tables_mutex_;
    std::map<std::string, std::unique_ptr<ResourceTable>, std::less<>> webview_tables_;
    std::map<std::string, Window*, std::less<>> windows_;
    std::vector<PageScript> page_scripts_;
    std::vector<std::string> relaunch_args_;
    std::atomic<bool> restart_requested_{false};
};

}  // namespace launcher::core
