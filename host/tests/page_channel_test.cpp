// Channel messages through a real WebKitGTK page: the host's own runtime and GTK backend, one
// window whose page receives what a worker sends and reports what arrived. Runs under X
// (scripts/with-display); the page runs once for the whole suite.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>

#include "core/app.hpp"
#include "core/permissions.hpp"
#include "platform/desktop.hpp"

namespace launcher {
namespace {

using core::CommandResult;
using core::Invocation;
using namespace std::string_literals;

constexpr std::uint32_t flood_count = 100000;

// What the cases send; their texts are the ones a script built by pasting could break on.
const Json tricky_payloads = Json::array({
    "quote \" backslash \\ slash / </script> <!-- */",
    "line\nbreaks\r\u2028\u2029 and tabs\t",
    "a NUL \0 inside"s,
    "Cyrillic загрузка…, emoji 🎮, CJK 漢字",
    Json::object({{"nested", Json::array({1, -2.5, true, nullptr, Json::object()})}, {"", ""}}),
    nullptr,
    9007199254740991,
    std::string(300 * 1024, 'x'),
    Json::array(),
});

// The page's script; FLOOD and PAYLOAD_COUNT are defined in front of it.
constexpr std::string_view page_script = R"(
const host = window.__TAURI_INTERNALS__;
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
let errors = 0;
window.addEventListener("error", (event) => { errors++; event.preventDefault(); });

// Sends through a fresh channel; answers the messages once `expected` have arrived (or a minute
// has passed) and one more call on the channel has come back.
async function receive(args, expected, onMessage = () => {}) {
  const got = [];
  const id = host.transformCallback((message) => { got.push(message); onMessage(message); });
  const channel = "__CHANNEL__:" + id;
  await host.invoke("plugin:test|send", { ...args, onMessage: channel });
  for (let waited = 0; got.length < expected && waited < 60000; waited += 20) await sleep(20);
  await host.invoke("plugin:test|send", { onMessage: channel });
  host.unregisterCallback(id);
  return got;
}

window.addEventListener("load", async () => {
  const flood = await receive({ count: FLOOD }, FLOOD);
  const misplaced = flood.findIndex((message, i) => message.index !== i);
  const payloads = await receive({ tricky: true, holdMainLoop: true }, PAYLOAD_COUNT);
  const thrown = await receive({ count: 6, holdMainLoop: true }, 6, (message) => {
    if (message.index % 2) throw new Error("callback failed on " + message.index);
  });
  host.invoke("plugin:test|report", { result: {
    flood: { received: flood.length, misplaced },
    payloads,
    thrown: { received: thrown.map((message) => message.index), errors },
  } });
});
)";

// Sends `count` messages {"index": i}, or the tricky payloads, on the channel from a worker. With
// `holdMainLoop` the main loop waits until all are sent, so they reach the page together.
CommandResult send(Invocation& call) {
    auto channel = call.channel("onMessage");
    if (!channel) return std::unexpected(channel.error());
    std::promise<void> sent;
    if (call.args().value("holdMainLoop", false)) {
        call.app().loop().post([done = sent.get_future().share()] { done.wait(); });
    }
    if (call.args().value("tricky", false)) {
        for (const auto& message : tricky_payloads) channel->send(message);
    }
    for (std::uint32_t i = 0; i < call.args().value("count", 0u); ++i) channel->send(Json{{"index", i}});
    sent.set_value();
    return Json(nullptr);
}

class PageChannel : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The web view's data and cache folders go to a scratch folder, not the user's.
        scratch_ = std::filesystem::temp_directory_path() / ("page-channel-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(scratch_);
        setenv("XDG_DATA_HOME", (scratch_ / "data").c_str(), 1);
        setenv("XDG_CACHE_HOME", (scratch_ / "cache").c_str(), 1);

        auto desktop = platform::Desktop::connect();
        ASSERT_TRUE(desktop) << desktop.error() << " (run the suite inside scripts/with-display)";
        core::App app({"page channel test", "0.1.36", "games.mirravel.page-channel-test"}, **desktop, 2);
        app.router().add_plugin("test");
        app.router().add({"plugin:test|send", core::RunOn::worker, send});
        app.router().add({"plugin:test|report", core::RunOn::main_thread, [](Invocation& call) -> CommandResult {
                              result_ = call.args().value("result", Json());
                              call.app().request_exit(0);
                              return Json(nullptr);
                          }});
        core::PermissionSet permissions;
        for (const char* key : {"plugin:test|send", "plugin:test|report"}) {
            permissions.granted[key] = {core::PermissionEntry{{"test"}, true}};
        }
        app.router().set_permissions(std::move(permissions));

        auto html = "<!doctype html><html><body><script>const FLOOD = " + std::to_string(flood_count) +
                    ", PAYLOAD_COUNT = " + std::to_string(tricky_payloads.size()) + ";" + std::string(page_script) +
                    "</script></body></html>";
        platform::DesktopConfig config;
        config.identifier = app.info().identifier;
        platform::WindowConfig window;
        window.label = "test";
        window.page = "index.html";
        window.title = "page channel test";
        config.windows.push_back(window);
        config.content = [&html](std::string_view) -> std::expected<platform::Content, std::string> {
            return platform::Content{"text/html", {html.begin(), html.end()}};
        };
        (*desktop)->run(app, config, [] {});
        app.shutdown();
    }

    static void TearDownTestSuite() { std::filesystem::remove_all(scratch_); }

    static inline std::filesystem::path scratch_;
    static inline Json result_;
};

TEST_F(PageChannel, EveryMessageOfAFloodArrivesOnceInOrder) {
    EXPECT_EQ(result_["flood"], (Json{{"received", flood_count}, {"misplaced", -1}}));
}

TEST_F(PageChannel, PayloadsSentTogetherArriveIntact) {
    const auto& received = result_["payloads"];
    ASSERT_EQ(received.size(), tricky_payloads.size()) << to_compact(received).substr(0, 400);
    for (std::size_t i = 0; i < received.size(); ++i) {
        // One payload is 300 KiB long; a failure shows the beginning of what arrived.
        EXPECT_TRUE(received[i] == tricky_payloads[i])
            << "payload " << i << " arrived as " << to_compact(received[i]).substr(0, 200);
    }
}

TEST_F(PageChannel, AThrowingCallbackLosesNoLaterMessageAndItsErrorsAreReported) {
    EXPECT_EQ(result_["thrown"], (Json{{"received", {0, 1, 2, 3, 4, 5}}, {"errors", 3}}));
}

}  // namespace
}  // namespace launcher
