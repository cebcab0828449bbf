// A page that floods the host: thousands of calls in one burst, malformed arguments, names that do
// not exist, commands its window may not call, calls from a foreign page, all through the router
// with the launcher's permission set. Every call gets its documented answer and the host stays
// responsive. Then the system facts, the adapter list and downloads all at once, for the thread
// sanitizer's benefit. And servers that drip a byte a second, which must not hold up the rest.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "launcher_host.hpp"
#include "plugins/updater/update_records.hpp"
#include "updater_test_support.hpp"

namespace launcher {
namespace {

using testing::LauncherHost;
using testing::outcome;

struct Call {
    std::string key;
    Json args;
    std::string window = "main";
    bool local = true;
};

struct FloodCase {
    Call call;
    // "answer <compact JSON>", "error <message>", or either followed by "*" to match a prefix.
    std::string expected;
};

bool matches(const std::string& got, const std::string& expected) {
    if (expected.ends_with("*")) return got.starts_with(expected.substr(0, expected.size() - 1));
    return got == expected;
}

std::string nested_array(std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(CommandFlood, EveryCallGetsItsAnswerAndTheHostStaysResponsive) {
    LauncherHost host;
    const std::string big(1 << 20, 'x');
    const FloodCase cases[] = {
        {{"plugin:app|version", {}}, "answer \"0.1.36\""},
        {{"plugin:app|version", {}, "splashscreen"}, "error Command plugin:app|version not allowed by ACL"},
        {{"plugin:app|version", {}, "main", false}, "error Command plugin:app|version not allowed by ACL"},
        {{"plugin:app|name", {{"ignored", big}}}, "answer \"Mirravel - Launcher\""},
        {{"plugin:os|locale", Json::array({1, 2})}, "answer *"},
        {{"plugin:window|set_title", {{"title", "x"}}}, "error Command plugin:window|set_title not allowed by ACL"},
        {{"plugin:window|is_maximized", {{"label", 5}}}, "error invalid args `label` for command `is_maximized`: *"},
        {{"plugin:log|log", {{"message", "x"}}}, "error plugin log not found"},
        {{"plugin:", {}}, "error Command plugin: not allowed by ACL"},
        {{"plugin:system-info|memory_info", {{"junk", Json::parse(nested_array(64))}}}, "answer {\"total_memory\":*"},
        {{"no_such_command", {}}, "error Command no_such_command not found"},
        {{"", {}}, "error Command  not found"},
        {{"set_complete", {}}, "error command set_complete missing required key task"},
        {{"set_complete", {{"task", 5}}},
         "error invalid args `task` for command `set_complete`: invalid type: integer `5`, expected a string"},
        {{"set_complete", {{"task", "FRONTEND"}}, "splashscreen"}, "error invalid task completed!"},
        {{"plugin:resources|close", {{"rid", "1"}}},
         "error invalid args `rid` for command `close`: invalid type: string \"1\", expected u32"},
        {{"plugin:resources|close", {{"rid", 4294967296}}},
         "error invalid args `rid` for command `close`: invalid value: integer `4294967296`, expected u32"},
        {{"plugin:resources|close", {{"rid", 4294967295u}}}, "error The resource id 4294967295 is invalid."},
        {{"plugin:event|listen", {{"event", "tauri://resize"}, {"target", {{"kind", "Nowhere"}}}, {"handler", 1}}},
         "error invalid args `target` for command `listen`: *"},
        {{"plugin:event|emit", {{"event", "flood"}, {"payload", Json::parse(nested_array(512))}}}, "answer null"},
        {{"plugin:opener|open_url", {{"url", "file:///etc/passwd"}}},
         "error Not allowed to open url file:///etc/passwd"},
        {{"plugin:updater|download", {{"rid", 7}, {"onEvent", "__CHANNEL__:1"}}},
         "error The resource id 7 is invalid."},
        {{"plugin:updater|install", {{"updateRid", -1}, {"bytesRid", 1}}},
         "error invalid args `updateRid` for command `install`: invalid value: integer `-1`, expected u32"},
    };

    constexpr int rounds = 150;  // about 3,500 calls
    std::vector<std::optional<core::CommandResult>> answers(std::size(cases) * rounds);
    std::vector<int> replies(answers.size(), 0);
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const auto& c = cases[i].call;
            auto slot = round * std::size(cases) + i;
            auto page = c.window == "splashscreen" ? host.splash_page : host.main_page;
            host.app.router().dispatch({c.key, c.args, {c.window, c.window, c.local}, page},
                                       [&, slot](core::CommandResult result) {
                                           ++replies[slot];
                                           answers[slot] = std::move(result);
                                       });
        }
    }
    ASSERT_TRUE(host.loop.run_until([&] {
        return std::all_of(answers.begin(), answers.end(), [](const auto& a) { return a.has_value(); });
    })) << "every call is answered";
    for (std::size_t slot = 0; slot < answers.size(); ++slot) {
        const auto& c = cases[slot % std::size(cases)];
        EXPECT_EQ(replies[slot], 1) << c.call.key;
        EXPECT_TRUE(matches(outcome(*answers[slot]), c.expected)) << c.call.key << ": " << outcome(*answers[slot]);
        if (HasFailure()) break;
    }
    EXPECT_TRUE(host.main_window.calls.empty()) << "no window was touched";
    EXPECT_EQ(outcome(host.call("plugin:app|version")), "answer \"0.1.36\"") << "the host still answers";
}

// The commands that read shared state or run on workers, all in flight together: cpu_info and
// memory_info on the main thread against the snapshot's measurement worker, list_gpus and package
// downloads on the workers.
TEST(CommandFlood, SystemFactsAdaptersAndDownloadsAtOnce) {
    testing::HttpsServer server;
    testing::MinisignKey key;
    testing::TempDir files;
    const std::string package = "MZ" + std::string(256 * 1024, 'c');
    auto file = files.write("setup.exe", package);
    server.route("/setup.exe", {{"body_file", file}});
    server.route(
        "/stable/latest.json",
        {{"body",
          Json{{"version", "0.1.37"}, {"url", server.url("/setup.exe")}, {"signature", key.sign(file)}}.dump()}});
    LauncherHost host({.endpoint = server.url("/stable/latest.json"),
                       .pubkey = key.public_key(),
                       .ca_file = server.ca_file(),
                       .stall_limit = std::chrono::seconds(10)});

    constexpr int downloads = 4;
    std::vector<Json> rids;
    for (int i = 0; i < downloads; ++i) {
        auto check = host.call("plugin:updater|check");
        ASSERT_TRUE(check && check->is_object()) << outcome(check);
        rids.push_back((*check)["rid"]);
    }

    std::vector<std::optional<core::CommandResult>> pending;
    pending.reserve(downloads + 2);
    auto dispatch = [&](const std::string& key, Json args) {
        auto& slot = pending.emplace_back();
        host.app.router().dispatch({key, std::move(args), {"main", "main", true}, host.main_page},
                                   [&slot](core::CommandResult result) { slot = std::move(result); });
    };
    for (int i = 0; i < downloads; ++i) {
        dispatch("plugin:updater|download", {{"rid", rids[i]}, {"onEvent", "__CHANNEL__:" + std::to_string(i + 1)}});
    }
    dispatch("list_gpus", Json::object());
    dispatch("list_gpus", Json::object());

    int facts = 0;
    auto all_answered = [&] {
        return std::all_of(pending.begin(), pending.end(), [](const auto& p) { return p.has_value(); });
    };
    // Bounded like every other wait of the suite: a command that never answers fails here, by name,
    // instead of holding the run until the suite's time-out.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!all_answered()) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::string unanswered;
            for (std::size_t i = 0; i < pending.size(); ++i) {
                if (!pending[i]) unanswered += i < downloads ? " download" : " list_gpus";
            }
            FAIL() << "no answer from:" << unanswered;
        }
        for (auto key : {"plugin:system-info|cpu_info", "plugin:system-info|memory_info"}) {
            auto answer = host.call(key);
            ASSERT_TRUE(answer && answer->is_object()) << key << ": " << outcome(answer);
            ++facts;
        }
        host.loop.run_ready();
    }
    EXPECT_GT(facts, 0);
    for (int i = 0; i < downloads; ++i) {
        ASSERT_TRUE(*pending[i]) << outcome(*pending[i]);
        auto stored = host.app.webview_resources("main").get<plugins::updater::DownloadedPackage>(
            (*pending[i])->get<std::uint32_t>());
        ASSERT_TRUE(stored);
        EXPECT_EQ((*stored)->bytes.size(), package.size());
    }
    for (int i = downloads; i < downloads + 2; ++i) {
        ASSERT_TRUE(*pending[i] && (*pending[i])->is_array()) << outcome(*pending[i]);
    }
}

// Peers that send a byte a second hold two checks, then two downloads: the commands the rest of
// the launcher needs still answer while those transfers wait, and each transfer ends with the
// low-speed error.
TEST(CommandFlood, SlowPeersHoldNoWorker) {
    testing::HttpsServer server;
    testing::MinisignKey key;
    testing::TempDir files;
    auto file = files.write("setup.exe", "MZ" + std::string(4096, 'd'));
    server.route("/drip/setup.exe", {{"body_file", file}, {"drip", 1}});
    auto manifest =
        Json{{"version", "0.1.37"}, {"url", server.url("/drip/setup.exe")}, {"signature", key.sign(file)}}.dump();
    server.route("/drip/latest.json", {{"body", manifest}, {"drip", 1}});
    server.route("/fast/latest.json", {{"body", manifest}});
    const std::string slow = "error request or response body error: less than 1024 bytes per second for 8000 ms";

    struct Case {
        const char* what;
        std::string endpoint;
        std::string command;
    };
    const Case cases[] = {
        {"two checks", "/drip/latest.json", "check"},
        {"two downloads", "/fast/latest.json", "download"},
    };
    // The low-speed window is long enough that the probes below answer first even on a busy
    // machine under a sanitizer; the transfers end only after it.
    for (const auto& c : cases) {
        LauncherHost host({.endpoint = server.url(c.endpoint),
                           .pubkey = key.public_key(),
                           .ca_file = server.ca_file(),
                           .stall_limit = std::chrono::seconds(4),
                           .low_speed_window = std::chrono::seconds(8)});
        Json args = Json::object();
        if (c.command == "download") {
            auto check = host.call("plugin:updater|check");
            ASSERT_TRUE(check && check->is_object()) << outcome(check);
            args = {{"rid", (*check)["rid"]}, {"onEvent", "__CHANNEL__:1"}};
        }
        auto seen = server.requests().size();
        std::vector<std::optional<core::CommandResult>> held(2);
        for (auto& slot : held) {
            host.app.router().dispatch({"plugin:updater|" + c.command, args, {"main", "main", true}, host.main_page},
                                       [&slot](core::CommandResult result) { slot = std::move(result); });
        }
        // Both transfers are under way once the server has both requests.
        for (int i = 0; i < 1200 && server.requests().size() < seen + 2; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_EQ(server.requests().size(), seen + 2) << c.what;

        const std::pair<std::string, Json> probes[] = {
            {"list_gpus", Json::object()},
            {"plugin:opener|open_url", {{"url", "https://mirravel.example/news"}}},
        };
        for (const auto& [probe, probe_args] : probes) {
            auto answer = host.call(probe, probe_args);
            EXPECT_TRUE(answer) << c.what << ", " << probe << ": " << outcome(answer);
        }
        EXPECT_FALSE(held[0] || held[1]) << c.what << ": the probes answered while both transfers waited";

        auto both = [&] { return held[0] && held[1]; };
        for (int i = 0; i < 4 && !both(); ++i) host.loop.run_until(both);
        for (const auto& slot : held) {
            ASSERT_TRUE(slot) << c.what;
            EXPECT_EQ(outcome(*slot), slow) << c.what;
        }
    }
}

}  // namespace
}  // namespace launcher
