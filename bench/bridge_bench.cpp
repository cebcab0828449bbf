// The host's command bridge under load, with the launcher's own runtime and GTK backend: one
// window whose page, once loaded, times R rounds of N sequential `plugin:app|version` calls, or
// R rounds of one call that sends N messages through a channel, and hands the rates back.
//
//   bridge_bench round-trips N R
//   bridge_bench channel N R
//
// Prints "rates" and the calls (or messages) per second of each round, as bare_webview does for
// the same loops without the host, so bench/run can set the two side by side.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/app.hpp"
#include "core/permissions.hpp"
#include "platform/desktop.hpp"
#include "plugins/app/app_plugin.hpp"

namespace {

using launcher::Json;
using launcher::core::CommandResult;
using launcher::core::Invocation;

constexpr const char* page_template = R"(<!doctype html><html><body><script>
const host = window.__TAURI_INTERNALS__;
async function roundTrips(n) {
  for (let i = 0; i < n; i++) await host.invoke("plugin:app|version");
}
function burst(n) {
  return new Promise((done) => {
    let received = 0;
    const id = host.transformCallback(() => { if (++received === n) { host.unregisterCallback(id); done(); } });
    host.invoke("plugin:bench|burst", { count: n, onMessage: "__CHANNEL__:" + id });
  });
}
window.addEventListener("load", async () => {
  const rates = [];
  for (let round = 0; round < ROUNDS; round++) {
    const start = performance.now();
    await MODE(COUNT);
    rates.push(COUNT / ((performance.now() - start) / 1000));
  }
  host.invoke("plugin:bench|finish", { rates: rates.map((r) => r.toFixed(1)).join(" ") });
});
</script></body></html>
)";

std::string replace_all(std::string text, std::string_view placeholder, const std::string& value) {
    for (auto at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
    return text;
}

// The command under test for channels: sends `count` small messages, in order, then answers.
CommandResult burst(Invocation& inv) {
    auto count = inv.arg<std::uint32_t>("count");
    if (!count) return std::unexpected(count.error());
    auto channel = inv.channel("onMessage");
    if (!channel) return std::unexpected(channel.error());
    for (std::uint32_t i = 0; i < *count; ++i) channel->send(Json{{"index", i}});
    return Json(nullptr);
}

CommandResult finish(Invocation& inv) {
    auto rates = inv.arg<std::string>("rates");
    if (!rates) return std::unexpected(rates.error());
    std::printf("rates %s\n", rates->c_str());
    std::fflush(stdout);
    inv.app().request_exit(0);
    return Json(nullptr);
}

int usage() {
    std::fputs("usage: bridge_bench round-trips|channel N ROUNDS\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return usage();
    std::string mode = argv[1];
    if (mode != "round-trips" && mode != "channel") return usage();
    if (std::atoi(argv[2]) <= 0 || std::atoi(argv[3]) <= 0) return usage();
    std::string page = replace_all(page_template, "MODE", mode == "channel" ? "burst" : "roundTrips");
    page = replace_all(page, "COUNT", argv[2]);
    page = replace_all(page, "ROUNDS", argv[3]);

    auto desktop = launcher::platform::Desktop::connect();
    if (!desktop) {
        std::fprintf(stderr, "bridge_bench: %s\n", desktop.error().c_str());
        return 1;
    }
    launcher::core::App app({"bridge bench", "0.1.36", "games.mirravel.bridge-bench"}, **desktop, 2);
    launcher::plugins::app::register_app_plugin(app, "nsis");
    app.router().add_plugin("bench");
    app.router().add({"plugin:bench|burst", launcher::core::RunOn::worker, burst});
    app.router().add({"plugin:bench|finish", launcher::core::RunOn::main_thread, finish});

    launcher::core::PermissionSet permissions;
    for (const char* key : {"plugin:app|version", "plugin:bench|burst", "plugin:bench|finish"}) {
        permissions.granted[key] = {launcher::core::PermissionEntry{{"bench"}, true}};
    }
    app.router().set_permissions(std::move(permissions));

    launcher::platform::DesktopConfig config;
    config.identifier = app.info().identifier;
    launcher::platform::WindowConfig window;
    window.label = "bench";
    window.page = "index.html";
    window.title = "bridge bench";
    config.windows.push_back(window);
    config.content = [&page](std::string_view) -> std::expected<launcher::platform::Content, std::string> {
        return launcher::platform::Content{"text/html", {page.begin(), page.end()}};
    };
    int code = (*desktop)->run(app, config, [] {});
    app.shutdown();
    return code;
}
