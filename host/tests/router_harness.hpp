#pragma once

// A host without a toolkit for driving commands through the real Router: a main loop whose
// posted tasks the test runs, windows that record what was done to them, and a page that
// records the callbacks the host runs in it.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/app.hpp"

namespace launcher::testing {

class FakeLoop : public core::MainLoop {
public:
    void post(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        wake_.notify_all();
    }
    void quit(int code) override { exit_code = code; }

    // Runs posted tasks on the calling thread until `done` holds or half a minute has passed: a
    // bound for a command that never answers, far above what any answer takes on a busy machine.
    bool run_until(const std::function<bool()>& done) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done()) {
            std::unique_lock lock(mutex_);
            if (!wake_.wait_until(lock, deadline, [&] { return !tasks_.empty(); })) return false;
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
        }
        return true;
    }

    // Runs the tasks already posted, without waiting for more.
    void run_ready() {
        std::deque<std::function<void()>> ready;
        {
            std::lock_guard lock(mutex_);
            ready.swap(tasks_);
        }
        for (auto& task : ready) task();
    }

    std::optional<int> exit_code;

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
};

class FakeWindow : public core::Window {
public:
    explicit FakeWindow(std::string label) : label_(std::move(label)) {}

    const std::string& label() const override { return label_; }
    void show() override { record("show"); }
    void hide() override { record("hide"); }
    void close() override { record("close"); }
    void minimize() override { record("minimize"); }
    void toggle_maximize() override {
        record("toggle_maximize");
        maximized = !maximized;
    }
    void start_dragging() override { record("start_dragging"); }

    bool is_maximized() const override { return maximized; }
    bool is_minimized() const override { return false; }
    bool is_fullscreen() const override { return fullscreen; }
    bool is_visible() const override { return true; }
    bool is_focused() const override { return true; }
    bool is_decorated() const override { return false; }
    bool is_resizable() const override { return resizable; }
    bool is_always_on_top() const override { return false; }
    bool is_closable() const override { return true; }
    bool is_maximizable() const override { return resizable; }
    bool is_minimizable() const override { return true; }
    bool is_enabled() const override { return true; }
    std::string title() const override { return "Title of " + label_; }
    std::string theme() const override { return "dark"; }
    double scale_factor() const override { return 1.5; }
    core::Size inner_size() const override { return {1200, 900}; }
    core::Size outer_size() const override { return {1210, 910}; }
    core::Position inner_position() const override { return {15, 25}; }
    core::Position outer_position() const override { return {10, 20}; }
    std::optional<core::Monitor> current_monitor() const override {
        if (monitors.empty()) return std::nullopt;
        return monitors.front();
    }
    std::optional<core::Monitor> primary_monitor() const override { return current_monitor(); }
    std::vector<core::Monitor> available_monitors() const override { return monitors; }
    core::Position cursor_position() const override { return {300, 200}; }

    std::vector<std::string> calls;
    bool maximized = false;
    bool fullscreen = false;
    bool resizable = true;
    std::vector<core::Monitor> monitors;

private:
    void record(std::string call) { calls.push_back(std::move(call)); }
    std::string label_;
};

// Records every callback the host runs in the page: (callback id, payload).
class RecordingPage : public core::PageLink {
public:
    explicit RecordingPage(std::string webview) : webview_(std::move(webview)) {}
    void deliver(std::uint32_t callback_id, const Json& payload) override {
        std::lock_guard lock(mutex_);
        deliveries_.emplace_back(callback_id, payload);
    }
    const std::string& webview_label() const override { return webview_; }
    std::vector<std::pair<std::uint32_t, Json>> deliveries() const {
        std::lock_guard lock(mutex_);
        return deliveries_;
    }

private:
    std::string webview_;
    mutable std::mutex mutex_;
    std::vector<std::pair<std::uint32_t, Json>> deliveries_;
};

// A command's outcome as text, so a failed comparison shows both sides readably.
inline std::string outcome(const core::CommandResult& result) {
    return result ? "answer " + to_compact(*result) : "error " + result.error();
}

// The app with the two launcher windows and one page in each.
struct Host {
    FakeLoop loop;
    core::App app{{"Mirravel - Launcher", "0.1.36", "games.mirravel.launcher"}, loop, 2};
    FakeWindow main_window{"main"};
    FakeWindow splash_window{"splashscreen"};
    std::shared_ptr<RecordingPage> main_page = std::make_shared<RecordingPage>("main");
    std::shared_ptr<RecordingPage> splash_page = std::make_shared<RecordingPage>("splashscreen");

    Host() {
        app.add_window(main_window);
        app.add_window(splash_window);
    }

    // Dispatches as the page of `window` would and waits for the answer.
    core::CommandResult call(const std::string& key, Json args = Json::object(), const std::string& window = "main",
                             bool local = true) {
        auto page = window == "splashscreen" ? splash_page : main_page;
        std::optional<core::CommandResult> answer;
        app.router().dispatch({key, std::move(args), {window, window, local}, page},
                              [&](core::CommandResult result) { answer = std::move(result); });
        if (!loop.run_until([&] { return answer.has_value(); })) return std::unexpected(std::string("no answer"));
        return *answer;
    }
};

}  // namespace launcher::testing
