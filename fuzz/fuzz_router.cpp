// Page messages through the host's own decoder and the router with the launcher's permission set
// and its command groups: any text posted from the main window or the splash, shown on the
// launcher's own page or on a foreign one. A message that is no envelope is refused as malformed;
// every call is answered exactly once; a plugin command is refused with the ACL message whenever
// the caller is not the main window's own page; every reply is free of NUL.

#include <cstdint>
#include <optional>
#include <string>

#include "core/ipc.hpp"
#include "core/json.hpp"
#include "fuzz_check.hpp"
#include "launcher_host.hpp"
#include "page_envelope.hpp"
#include "platform/desktop.hpp"

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
    static auto* instance = new launcher::testing::LauncherHost({.stall_limit = std::chrono::milliseconds(200)});
    return *instance;
}

// A page of the launcher's own origin, as the views show it.
const std::string own_page = std::string(launcher::platform::app_origin) + "/index.html";

const core::PageBridge& bridge(bool splash) {
    static const core::PageBridge main("main", launcher::platform::app_origin);
    static const core::PageBridge splashscreen("splashscreen", launcher::platform::app_origin);
    return splash ? splashscreen : main;
}

}  // namespace

// Input: one byte choosing the caller (bit 0: splash instead of main, bit 1: the view shows a
// foreign page), then the message text as a page posts it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    auto text = launcher::fuzz::as_text(data + 1, size - 1);
    bool splash = (data[0] & 1) != 0;
    bool foreign_page = (data[0] & 2) != 0;
    const auto& view = bridge(splash);
    auto request = view.decode(launcher::testing::with_token(text, view.token()),
                               foreign_page ? "https://example.com/" : own_page);
    if (!request) {
        require(request.error() == core::malformed_message, "a refused message is malformed", request.error());
        return 0;
    }
    const std::string key = request->key;
    bool local = request->caller.local;
    require(!local || (!foreign_page && text.find("$TOKEN") != std::string_view::npos),
            "only the view's own page with its bridge's token is local", key);
    // Loads every graphics runtime on each call and reads no argument: not worth a fuzzing loop.
    if (key == "list_gpus") return 0;

    auto& h = host();
    const std::string& window = view.label();
    request->page = std::make_shared<NullPage>(window);
    std::optional<core::CommandResult> answer;
    int answers = 0;
    h.app.router().dispatch(std::move(*request), [&](core::CommandResult result) {
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
    require(core::encode_reply(*answer).json.find('\0') == std::string::npos, "a reply carries no NUL", key);

    // Keep the host's state from growing across inputs, as a page reload would.
    h.app.events().forget_page(window);
    h.app.webview_resources(window).clear();
    h.main_window.calls.clear();
    h.splash_window.calls.clear();
    return 0;
}
