// Page calls through the router with the launcher's permission set and its command groups: any
// command name with any JSON arguments, from the main window or the splash, from the launcher's own
// pages or from a foreign one. Every call is answered exactly once; a plugin command is refused
// with the ACL message whenever the caller is not the main window's own page.

#include <cstdint>
#include <optional>
#include <string>

#include "core/json.hpp"
#include "core/json_depth.hpp"
#include "fuzz_check.hpp"
#include "launcher_host.hpp"

using launcher::Json;
using launcher::fuzz::require;
namespace core = launcher::core;

namespace {

class NullPage : public core::PageLink {
public:
    explicit NullPage(std::string label) : label_(std::move(label)) {}
    void deliver(std::uint32_t, const Json&) override {}
    const std::string& webview_label() const override { return label_; }

private:
    std::string label_;
};

launcher::testing::LauncherHost& host() {
    // Left to the process's end: its workers may still be running.
    static auto* instance = new launcher::testing::LauncherHost(
        {.stall_limit = std::chrono::milliseconds(200)});
    return *instance;
}

}  // namespace

// Input: one byte choosing the caller (bit 0: splash instead of main, bit 1: a foreign page),
// the command key up to a newline, then the arguments as JSON.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    auto text = launcher::fuzz::as_text(data + 1, size - 1);
    auto newline = text.find('\n');
    if (newline == std::string_view::npos) return 0;
    std::string key(text.substr(0, newline));
    // Loads every graphics runtime on each call and reads no argument: not worth a fuzzing loop.
    if (key == "list_gpus") return 0;
    auto body = text.substr(newline + 1);
    // The page boundary refuses messages nested deeper than this before parsing them.
    if (!core::json_nesting_within(body)) return 0;
    Json args = Json::parse(body.begin(), body.end(), nullptr, false);
    if (args.is_discarded()) return 0;

    auto& h = host();
    std::string window = (data[0] & 1) ? "splashscreen" : "main";
    bool local = (data[0] & 2) == 0;
    auto page = std::make_shared<NullPage>(window);
    std::optional<core::CommandResult> answer;
    int answers = 0;
    h.app.router().dispatch({key, std::move(args), {window, window, local}, page}, [&](core::CommandResult result) {
        ++answers;
        answer = std::move(result);
    });
    require(h.loop.run_until([&] { return answer.has_value(); }), "every call is answered", key);
    require(answers == 1, "every call is answered once", key);

    bool plugin = key.starts_with("plugin:") && key != "plugin:__TAURI_CHANNEL__|fetch";
    if (plugin && (window != "main" || !local)) {
        require(!*answer && answer->error() == "Command " + key + " not allowed by ACL",
                "only the main window's own page reaches plugin commands", key);
    }
    if (*answer) (void)launcher::to_compact(**answer);

    // Keep the host's state from growing across inputs, as a page reload would.
    h.app.events().forget_page(window);
    h.app.webview_resources(window).clear();
    h.main_window.calls.clear();
    h.splash_window.calls.clear();
    return 0;
}
