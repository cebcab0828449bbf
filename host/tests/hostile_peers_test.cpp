// The updater against servers that misbehave: answers that never end, lengths that lie, bodies
// that stall or go on past their length, manifests nested too deep, redirects to plain http,
// certificates for another name, packages signed for another file. Each call ends with its
// documented message, and nothing is written to the temporary directory.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "plugins/updater/update_records.hpp"
#include "plugins/updater/updater_plugin.hpp"
#include "router_harness.hpp"
#include "updater_test_support.hpp"

namespace launcher::plugins::updater {
namespace {

using testing::HttpsServer;
using testing::MinisignKey;
using testing::outcome;
using testing::TempDir;

const std::string manifest_path = "/stable/latest.json";
constexpr int stall_ms = 5000;
constexpr std::uint64_t package_cap = 1024 * 1024;

class NullShell : public platform::Shell {
public:
    void start(const std::string&, const std::string&) override {}
    std::expected<void, std::string> open_url(const std::string&, const std::optional<std::string>&) override {
        return {};
    }
    std::expected<void, std::string> reveal(const std::vector<std::string>&) override { return {}; }
};

// A launcher host whose updater trusts `ca_file` besides the system store.
struct UpdaterHost {
    testing::Host host;
    NullShell shell;

    UpdaterHost(const std::string& endpoint, const std::string& pubkey, const std::string& ca_file) {
        core::PermissionSet permissions;
        for (auto name : {"check", "download"}) {
            permissions.granted[std::string("plugin:updater|") + name] = {{.windows = {"main"}}};
        }
        host.app.router().set_permissions(std::move(permissions));
        UpdaterState state;
        state.config.endpoints = {endpoint};
        state.config.pubkey = pubkey;
        state.http.extra_ca_file = ca_file;
        state.http.stall_limit = std::chrono::milliseconds(stall_ms);
        state.max_package_bytes = package_cap;
        state.hand_off_host = [this](core::App&) {
            return installer::HandOffHost{"Mirravel - Launcher", {}, [] {}, shell, [](int) {}};
        };
        register_updater_plugin(host.app, std::move(state));
    }

    core::CommandResult call(const std::string& command, Json args = Json::object()) {
        return host.call("plugin:updater|" + command, std::move(args));
    }
    std::vector<Json> events() {
        std::vector<Json> out;
        for (auto& [id, payload] : host.main_page->deliveries()) out.push_back(payload);
        return out;
    }
};

std::string error_of(const core::CommandResult& result) {
    return result ? "answer " + outcome(result) : result.error();
}

// Expected messages: exact, or "^" + a prefix.
bool matches(const std::string& message, const std::string& expected) {
    if (expected.starts_with("^")) return message.starts_with(expected.substr(1));
    return message == expected;
}

// What the temporary directory holds; the updater's check and download must leave it as it was.
std::set<std::string> temp_entries() {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::filesystem::temp_directory_path())) {
        names.insert(entry.path().string());
    }
    return names;
}

class HostilePeers : public ::testing::Test {
protected:
    template <class Make>
    static auto with_real_tmpdir(Make make) {
        if (saved_tmpdir)
            setenv("TMPDIR", saved_tmpdir->c_str(), 1);
        else
            unsetenv("TMPDIR");
        auto made = make();
        setenv("TMPDIR", scratch->path().c_str(), 1);
        return made;
    }

    static void SetUpTestSuite() {
        server = new HttpsServer;
        key = new MinisignKey;
        files = new TempDir;
        // The peers above keep their files in the shared temporary directory; the host under
        // test gets one of its own, so anything it writes there shows.
        scratch = new TempDir;
        saved_tmpdir = std::getenv("TMPDIR") ? std::optional<std::string>(std::getenv("TMPDIR")) : std::nullopt;
        setenv("TMPDIR", scratch->path().c_str(), 1);
    }
    static void TearDownTestSuite() {
        if (saved_tmpdir)
            setenv("TMPDIR", saved_tmpdir->c_str(), 1);
        else
            unsetenv("TMPDIR");
        delete scratch;
        delete files;
        delete key;
        delete server;
    }

    static std::string publish(const std::string& path, const std::string& content, Json answer = Json::object()) {
        auto file = files->write(std::filesystem::path(path).filename().string(), content);
        answer["body_file"] = file;
        server->route(path, answer);
        return key->sign(file);
    }

    static inline HttpsServer* server = nullptr;
    static inline MinisignKey* key = nullptr;
    static inline TempDir* files = nullptr;
    static inline TempDir* scratch = nullptr;
    static inline std::optional<std::string> saved_tmpdir;
};

TEST_F(HostilePeers, CheckEndsWithTheDocumentedMessage) {
    const std::string manifest =
        Json{{"version", "0.1.37"}, {"url", "https://127.0.0.1/setup.exe"}, {"signature", "c2ln"}}.dump();
    auto port = server->url("").substr(server->url("").rfind(':') + 1);
    server->route("/hostile/endless.json", {{"body", std::string(64 * 1024, ' ')}, {"endless", true}});
    server->route("/hostile/huge-declared.json", {{"body", manifest}, {"content_length", "1099511627776"}});
    server->route("/hostile/endless-head.json", {{"body", manifest}, {"endless_headers", true}});
    server->route("/hostile/shorter.json", {{"body", manifest}, {"content_length", manifest.size() / 2}});
    server->route("/hostile/longer.json", {{"body", manifest}, {"content_length", manifest.size() + 100}});
    server->route("/hostile/stall.json", {{"body", manifest}, {"stall_after", 10}});
    const std::size_t deep = 100000;
    server->route("/hostile/deep.json", {{"body", manifest.substr(0, manifest.size() - 1) + ",\"deep\":" +
                                                      std::string(deep, '[') + std::string(deep, ']') + "}"}});
    server->route("/hostile/to-http.json",
                  {{"status", 302}, {"headers", {{"Location", "http://127.0.0.1:" + port + "/hostile/plain.json"}}}});
    // Made under the real temporary directory, so only the host's own writes land in scratch.
    auto other_name = with_real_tmpdir([] { return std::make_unique<HttpsServer>("DNS:updates.elsewhere.test"); });
    other_name->route(manifest_path, {{"body", manifest}});

    const std::string body_error = "request or response body error: ";
    struct Case {
        const char* what;
        std::string endpoint;
        std::string ca_file;
        std::string expected;
    };
    const Case cases[] = {
        {"endless body", server->url("/hostile/endless.json"), server->ca_file(),
         body_error + "the response body is larger than 16777216 bytes"},
        {"huge declared length", server->url("/hostile/huge-declared.json"), server->ca_file(),
         body_error + "the response body is larger than 16777216 bytes"},
        {"endless head", server->url("/hostile/endless-head.json"), server->ca_file(),
         "^error sending request for url (" + server->url("/hostile/endless-head.json") + "): "},
        {"length shorter than the body", server->url("/hostile/shorter.json"), server->ca_file(),
         "^error decoding response body: "},
        {"length longer than the body", server->url("/hostile/longer.json"), server->ca_file(), "^" + body_error},
        {"stalled body", server->url("/hostile/stall.json"), server->ca_file(),
         body_error + "no data received for " + std::to_string(stall_ms) + " ms"},
        {"nested 100,000 deep", server->url("/hostile/deep.json"), server->ca_file(),
         "error decoding response body: arrays and objects nested deeper than 128 levels"},
        {"redirect to http", server->url("/hostile/to-http.json"), server->ca_file(),
         "^error sending request for url (" + server->url("/hostile/to-http.json") + "): "},
        {"certificate for another name", other_name->url(manifest_path), other_name->ca_file(),
         "^error sending request for url (" + other_name->url(manifest_path) + "): "},
    };
    for (const auto& c : cases) {
        auto before = temp_entries();
        UpdaterHost h(c.endpoint, key->public_key(), c.ca_file);
        auto message = error_of(h.call("check", {{"allowDowngrades", true}}));
        EXPECT_TRUE(matches(message, c.expected)) << c.what << ": " << message;
        EXPECT_EQ(h.host.app.webview_resources("main").size(), 0u) << c.what << ": no update record";
        EXPECT_EQ(temp_entries(), before) << c.what;
    }
}

TEST_F(HostilePeers, DownloadEndsWithTheDocumentedMessage) {
    const std::string package = "MZ" + std::string(32 * 1024, 'p');
    auto signature = publish("/hostile/setup.exe", package);
    publish("/hostile/shorter.exe", package, {{"content_length", package.size() - 1000}});
    publish("/hostile/longer.exe", package, {{"content_length", package.size() + 1000}});
    publish("/hostile/stall.exe", package, {{"stall_after", 1000}});
    publish("/hostile/endless.exe", package, {{"endless", true}});
    publish("/hostile/huge-declared.exe", package, {{"content_length", "3000000000"}});
    publish("/hostile/chunked-longer.exe", package, {{"chunked", true}, {"content_length", package.size() - 1000}});
    // A genuine signature, but of another file than the one served.
    auto other_signature = key->sign(files->write("other.exe", "MZ another installer"));

    struct Case {
        const char* what;
        std::string path;
        std::string signature;
        std::string expected;
        bool finished;  // "Finished" was sent
    };
    const Case cases[] = {
        {"signature valid for another file", "/hostile/setup.exe", other_signature, "The signature verification failed",
         true},
        {"length shorter than the body", "/hostile/shorter.exe", signature, "The signature verification failed", true},
        {"length longer than the body", "/hostile/longer.exe", signature, "^request or response body error: ", false},
        {"stalled body", "/hostile/stall.exe", signature,
         "request or response body error: no data received for " + std::to_string(stall_ms) + " ms", false},
        {"endless body without a length", "/hostile/endless.exe", signature,
         "request or response body error: the response body is larger than " + std::to_string(package_cap) + " bytes",
         false},
        {"declared length over the cap", "/hostile/huge-declared.exe", signature,
         "request or response body error: the response body is larger than " + std::to_string(package_cap) + " bytes",
         false},
        {"more bytes than declared", "/hostile/chunked-longer.exe", signature,
         "request or response body error: the response body is larger than " + std::to_string(package.size() - 1000) +
             " bytes",
         false},
    };
    for (const auto& c : cases) {
        server->route(
            manifest_path,
            {{"body", Json{{"version", "0.1.37"}, {"url", server->url(c.path)}, {"signature", c.signature}}.dump()}});
        auto before = temp_entries();
        UpdaterHost h(server->url(manifest_path), key->public_key(), server->ca_file());
        auto check = h.call("check");
        ASSERT_TRUE(check && check->is_object()) << outcome(check);
        auto message = error_of(h.call("download", {{"rid", (*check)["rid"]}, {"onEvent", "__CHANNEL__:7"}}));
        EXPECT_TRUE(matches(message, c.expected)) << c.what << ": " << message;
        auto events = h.events();
        EXPECT_EQ(!events.empty() && events.back()["event"] == "Finished", c.finished) << c.what;
        EXPECT_EQ(h.host.app.webview_resources("main").size(), 1u) << c.what << ": only the update record";
        EXPECT_EQ(temp_entries(), before) << c.what;
    }
}

}  // namespace
}  // namespace launcher::plugins::updater
