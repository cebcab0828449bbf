// The four updater commands through the router, against a loopback HTTPS server, packages
// signed by Debian's minisign, and the real installer hand-off with a recording shell.

#include <gtest/gtest.h>

#include <filesystem>

#include "plugins/updater/update_records.hpp"
#include "plugins/updater/updater_plugin.hpp"
#include "router_harness.hpp"
#include "updater_test_support.hpp"

namespace launcher::plugins::updater {
namespace {

using testing::HttpsServer;
using testing::MinisignKey;
using testing::outcome;
using testing::ProxyServer;
using testing::TempDir;

const std::string manifest_path = "/stable/latest.json";

class RecordingShell : public platform::Shell {
public:
    void start(const std::string& executable, const std::string& parameters) override {
        started.emplace_back(executable, parameters);
    }
    std::expected<void, std::string> open_url(const std::string&, const std::optional<std::string>&) override {
        return {};
    }
    std::expected<void, std::string> reveal(const std::vector<std::string>&) override { return {}; }
    std::vector<std::pair<std::string, std::string>> started;
};

// A launcher host with the updater registered against the loopback server.
struct UpdaterHost {
    testing::Host host;
    RecordingShell shell;
    std::optional<int> exit_code;

    UpdaterHost(std::vector<std::string> endpoints, const std::string& pubkey, const std::string& ca_file) {
        core::PermissionSet permissions;
        for (auto name : {"check", "download", "install", "download_and_install"}) {
            permissions.granted[std::string("plugin:updater|") + name] = {{.windows = {"main"}}};
        }
        host.app.router().set_permissions(std::move(permissions));
        UpdaterState state;
        state.config.endpoints = std::move(endpoints);
        state.config.pubkey = pubkey;
        state.http.extra_ca_file = ca_file;
        // Short enough for the stalled-body case to end soon, long enough that a busy machine
        // under a sanitizer never pauses a healthy transfer that long.
        state.http.stall_limit = std::chrono::seconds(6);
        state.hand_off_host = [this](core::App& app) {
            auto real = installer::hand_off_host(app);
            return installer::HandOffHost{real.product_name, real.relaunch_args, real.clean_up_before_exit, shell,
                                          [this](int code) { exit_code = code; }};
        };
        host.app.state().manage<installer::InstallerShell>(shell);
        register_updater_plugin(host.app, std::move(state));
    }

    core::CommandResult call(const std::string& command, Json args = Json::object()) {
        return host.call("plugin:updater|" + command, std::move(args));
    }
    core::ResourceTable& table() { return host.app.webview_resources("main"); }
    // The download events the page received, in order.
    std::vector<Json> events() {
        std::vector<Json> out;
        for (auto& [id, payload] : host.main_page->deliveries()) out.push_back(payload);
        return out;
    }
};

class Updater : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new HttpsServer;
        key = new MinisignKey;
        other_key = new MinisignKey;
        files = new TempDir;
    }
    static void TearDownTestSuite() {
        delete files;
        delete other_key;
        delete key;
        delete server;
    }

    // Serves `content` at `path` and answers the base64 signature of it made with `signer`.
    static std::string publish(const std::string& path, const std::string& content, const MinisignKey& signer,
                               Json answer = Json::object()) {
        auto file = files->write(std::filesystem::path(path).filename().string(), content);
        answer["body_file"] = file;
        server->route(path, answer);
        return signer.sign(file);
    }

    // Announces version 0.1.37 in the manifest, its package at `package_path` with `signature`.
    static void announce(const std::string& package_path, const std::string& signature) {
        server->route(
            manifest_path,
            {{"body",
              Json{{"version", "0.1.37"}, {"url", server->url(package_path)}, {"signature", signature}}.dump()}});
    }

    std::unique_ptr<UpdaterHost> make_host(std::vector<std::string> endpoints = {server->url(manifest_path)}) {
        return std::make_unique<UpdaterHost>(std::move(endpoints), key->public_key(), server->ca_file());
    }

    static Json platforms_manifest(const std::string& version, const Json& platforms) {
        return {{"version", version}, {"platforms", platforms}};
    }

    static inline HttpsServer* server = nullptr;
    static inline MinisignKey* key = nullptr;
    static inline MinisignKey* other_key = nullptr;
    static inline TempDir* files = nullptr;
};

std::string error_of(const core::CommandResult& result) { return result ? "no error" : result.error(); }

// The manifest with a member holding `depth` nested arrays, so the whole text nests depth + 1 deep.
Json nested_member(Json manifest, std::size_t depth) {
    Json inner = Json::array();
    for (std::size_t i = 1; i < depth; ++i) inner = Json::array({std::move(inner)});
    manifest["nested"] = std::move(inner);
    return manifest;
}

TEST_F(Updater, CheckAnswersWithTheRecordAndSendsItsHeaders) {
    Json manifest = {{"version", "v0.1.37"},
                     {"notes", "Исправления"},
                     {"pub_date", "2024-05-01T12:30:00.000+03:00"},
                     {"extra", {1, 2}},
                     {"url", "https://127.0.0.1/pkg.exe"},
                     {"signature", "c2ln"}};
    server->route("/headers/latest.json", {{"body", manifest.dump()}});
    auto h = make_host({server->url("/headers/latest.json")});
    auto result =
        h->call("check", {{"headers", Json::array({Json::array({"X-Token", "a"}), Json::array({"x-token", "b"}),
                                                   Json::array({"X-Empty", ""})})}});
    ASSERT_TRUE(result) << result.error();
    auto rid = (*result)["rid"].get<std::uint32_t>();
    EXPECT_EQ(to_compact(*result), "{\"rid\":" + std::to_string(rid) +
                                       ",\"currentVersion\":\"0.1.36\",\"version\":\"0.1.37\",\"date\":\"2024-05-01T12:"
                                       "30:00+03:00\",\"body\":\"Исправления\",\"rawJson\":" +
                                       to_compact(manifest) + "}");

    auto sent = server->requests().back()["headers"];
    auto header = [&](const std::string& name) {
        for (auto& pair : sent)
            if (pair[0].get<std::string>() == name) return pair[1].get<std::string>();
        return std::string("(absent)");
    };
    EXPECT_EQ(header("User-Agent"), "tauri-plugin-updater/2.10.1");
    EXPECT_EQ(header("Accept"), "application/json");
    EXPECT_EQ(header("X-Token"), "b");
    EXPECT_EQ(header("X-Empty"), "");

    auto record = h->table().get<UpdateRecord>(rid);
    ASSERT_TRUE(record);
    EXPECT_EQ((*record)->headers, (std::vector<lib::http::Header>{{"X-Token", "b"}, {"X-Empty", ""}}));
    EXPECT_EQ((*record)->download_url, "https://127.0.0.1/pkg.exe");
    EXPECT_EQ((*record)->product_name, "Mirravel - Launcher");
}

// The endpoint loop, the manifest reader, the offer decision and the package choice.
TEST_F(Updater, CheckEdgeCases) {
    auto manifest_at = [](const std::string& path, const Json& manifest) {
        server->route(path, {{"body", manifest.dump()}});
        return server->url(path);
    };
    const Json pkg = {{"url", "https://127.0.0.1/p.exe"}, {"signature", "c2ln"}};
    const Json generic_pkg = {{"url", "https://127.0.0.1/generic.exe"}, {"signature", "c2ln"}};
    auto single = [&](const std::string& version) {
        return Json{{"version", version}, {"url", pkg["url"]}, {"signature", pkg["signature"]}};
    };
    server->route("/204", {{"status", 204}});
    server->route("/500", {{"status", 500}, {"body", "broken"}});
    server->route("/not-json", {{"body", "<html>"}});
    server->route("/huge-number", {{"body", R"({"version":"0.1.37","url":"https://127.0.0.1/p.exe","signature":"c2ln",)"
                                            R"("size":1e400})"}});
    const std::string refused = "https://127.0.0.1:1/latest.json";  // nothing listens on port 1
    const std::string fallback_message =
        "None of the fallback platforms `[\"windows-x86_64-nsis\", \"windows-x86_64\"]` were found in the response "
        "`platforms` object";

    struct Case {
        const char* what;
        std::vector<std::string> endpoints;
        Json args;
        // "null", "version X url Y", or "error MESSAGE" ("error^PREFIX" matches the start).
        std::string expected;
    };
    const Case cases[] = {
        {"204 after a transport failure", {refused, server->url("/204")}, {}, "null"},
        {"204 ends the loop", {server->url("/204"), manifest_at("/c/137", single("0.1.37"))}, {}, "null"},
        {"transport failure remembered", {refused, server->url("/500")}, {}, "error^error sending request for url"},
        {"only non-2xx", {server->url("/500")}, {}, "error Could not fetch a valid release JSON from the remote"},
        {"non-2xx skipped",
         {server->url("/500"), manifest_at("/c/137", single("0.1.37"))},
         {},
         "version 0.1.37 url https://127.0.0.1/p.exe"},
        {"not JSON stops the loop",
         {server->url("/not-json"), manifest_at("/c/137", single("0.1.37"))},
         {},
         "error^error decoding response body: "},
        {"a number beyond any double",
         {server->url("/huge-number")},
         {},
         "error error decoding response body: [json.exception.out_of_range.406] number overflow parsing '1e400'"},
        {"nested as deep as allowed",
         {manifest_at("/c/deep128", nested_member(single("0.1.37"), 127))},
         {},
         "version 0.1.37 url https://127.0.0.1/p.exe"},
        {"nested too deep",
         {manifest_at("/c/deep129", nested_member(single("0.1.37"), 128))},
         {},
         "error error decoding response body: arrays and objects nested deeper than 128 levels"},
        {"downgrade offered when allowed",
         {manifest_at("/c/135", single("0.1.35"))},
         {{"allowDowngrades", true}},
         "version 0.1.35 url https://127.0.0.1/p.exe"},
        {"downgrade not offered", {manifest_at("/c/135", single("0.1.35"))}, {}, "null"},
        {"same version not offered", {manifest_at("/c/136", single("0.1.36"))}, {{"allowDowngrades", true}}, "null"},
        {"leading v removed",
         {manifest_at("/c/v137", single("vv0.1.37"))},
         {},
         "version 0.1.37 url https://127.0.0.1/p.exe"},
        {"build metadata breaks the tie",
         {manifest_at("/c/136b", single("0.1.36+1"))},
         {},
         "version 0.1.36+1 url https://127.0.0.1/p.exe"},
        {"build metadata differs",
         {manifest_at("/c/136b", single("0.1.36+1"))},
         {{"allowDowngrades", true}},
         "version 0.1.36+1 url https://127.0.0.1/p.exe"},
        {"pre-release below its release", {manifest_at("/c/136rc", single("0.1.36-rc.1"))}, {}, "null"},
        {"name instead of version",
         {manifest_at("/c/name", {{"name", "0.1.37"}, {"url", pkg["url"]}, {"signature", "c2ln"}})},
         {},
         "version 0.1.37 url https://127.0.0.1/p.exe"},
        {"name and version",
         {manifest_at("/c/both",
                      {{"name", "0.1.37"}, {"version", "0.1.37"}, {"url", pkg["url"]}, {"signature", "c2ln"}})},
         {},
         "error duplicate field `version`"},
        {"reading error forgotten after a good manifest",
         {manifest_at("/c/noversion", {{"url", pkg["url"]}}), manifest_at("/c/137", single("0.1.37"))},
         {},
         "version 0.1.37 url https://127.0.0.1/p.exe"},
        {"missing version", {manifest_at("/c/noversion", {{"url", pkg["url"]}})}, {}, "error missing field `version`"},
        {"bad version",
         {manifest_at("/c/badversion", single("0.1"))},
         {},
         "error unexpected end of input while parsing minor version number"},
        {"bad date",
         {manifest_at("/c/baddate",
                      {{"version", "0.1.37"}, {"pub_date", "yesterday"}, {"url", pkg["url"]}, {"signature", "c2ln"}})},
         {},
         "error invalid value for `pub_date`: expected 4 digits of the year at byte 0"},
        {"missing url",
         {manifest_at("/c/nourl", {{"version", "0.1.37"}, {"signature", "c2ln"}})},
         {},
         "error the `url` field was not set on the updater response"},
        {"missing signature",
         {manifest_at("/c/nosig", {{"version", "0.1.37"}, {"url", pkg["url"]}})},
         {},
         "error the `signature` field was not set on the updater response"},
        {"package url not a URL",
         {manifest_at("/c/badurl", {{"version", "0.1.37"}, {"url", "p.exe"}, {"signature", "c2ln"}})},
         {},
         "error Bad scheme"},
        {"generic key only",
         {manifest_at("/c/generic", platforms_manifest("0.1.37", {{"windows-x86_64", generic_pkg}}))},
         {},
         "version 0.1.37 url https://127.0.0.1/generic.exe"},
        {"installer key first",
         {manifest_at("/c/bothkeys",
                      platforms_manifest("0.1.37", {{"windows-x86_64", generic_pkg}, {"windows-x86_64-nsis", pkg}}))},
         {},
         "version 0.1.37 url https://127.0.0.1/p.exe"},
        {"neither key",
         {manifest_at("/c/linux", platforms_manifest("0.1.37", {{"linux-x86_64", pkg}}))},
         {},
         "error " + fallback_message},
        {"neither key, version not offered",
         {manifest_at("/c/linux135", platforms_manifest("0.1.35", {{"linux-x86_64", pkg}}))},
         {},
         "error " + fallback_message},
        {"target chosen",
         {manifest_at("/c/linux", platforms_manifest("0.1.37", {{"linux-x86_64", pkg}}))},
         {{"target", "linux-x86_64"}},
         "version 0.1.37 url https://127.0.0.1/p.exe"},
        {"target missing",
         {manifest_at("/c/generic", platforms_manifest("0.1.37", {{"windows-x86_64", generic_pkg}}))},
         {{"target", "windows-x86_64-nsis"}},
         "error the platform `windows-x86_64-nsis` was not found in the response `platforms` object"},
        {"platform entry without signature",
         {manifest_at("/c/nosigplatform", platforms_manifest("0.1.37", {{"windows-x86_64", {{"url", "https://a/"}}}}))},
         {},
         "error missing field `signature`"},
        {"URL variables",
         {server->url("/v/{{target}}/{{arch}}/{{bundle_type}}/{{current_version}}")},
         {},
         "error Could not fetch a valid release JSON from the remote"},
        {"no endpoints", {}, {}, "error Updater does not have any endpoints set."},
        {"bad header name",
         {server->url("/204")},
         {{"headers", Json::array({Json::array({"Bad Name", "x"})})}},
         "error invalid HTTP header name"},
        {"bad header value",
         {server->url("/204")},
         {{"headers", Json::array({Json::array({"X-A", "line\nbreak"})})}},
         "error failed to parse header value"},
        {"proxy not a URL", {server->url("/204")}, {{"proxy", "no proxy here"}}, "error Bad scheme"},
        {"headers not pairs",
         {server->url("/204")},
         {{"headers", Json::array({Json::array({"X-A"})})}},
         "error invalid args `headers` for command `check`: invalid length 1, expected a tuple of size 2"},
    };
    for (const auto& c : cases) {
        auto h = make_host(c.endpoints);
        auto result = h->call("check", c.args.is_null() ? Json::object() : c.args);
        std::string got;
        if (!result) {
            got = "error " + result.error();
        } else if (result->is_null()) {
            got = "null";
        } else {
            auto record = h->table().get<UpdateRecord>((*result)["rid"].get<std::uint32_t>());
            got = "version " + (*result)["version"].get<std::string>() + " url " +
                  (record ? (*record)->download_url : record.error());
        }
        if (c.expected.starts_with("error^")) {
            EXPECT_TRUE(got.starts_with("error " + c.expected.substr(6))) << c.what << ": " << got;
        } else {
            EXPECT_EQ(got, c.expected) << c.what;
        }
    }
    auto requests = server->requests();
    EXPECT_TRUE(std::any_of(requests.begin(), requests.end(),
                            [](const Json& r) { return r["path"] == "/v/windows/x86_64/nsis/0.1.36"; }));
}

TEST_F(Updater, DownloadStreamsVerifiesAndKeepsThePackage) {
    const std::string package = "MZ" + std::string(300 * 1024, 'p');
    struct Case {
        const char* what;
        Json answer;
        std::string content;
        Json content_length;
    };
    const Case cases[] = {
        {"with Content-Length", Json::object(), package, package.size()},
        {"without Content-Length", {{"length", false}}, package, nullptr},
        {"empty body", Json::object(), "", nullptr},
    };
    for (const auto& c : cases) {
        auto signature = publish("/pkg/setup.exe", c.content, *key, c.answer);
        announce("/pkg/setup.exe", signature);
        auto h = make_host();
        auto check = h->call("check");
        ASSERT_TRUE(check && check->is_object()) << outcome(check);
        auto rid = (*check)["rid"];
        auto downloaded = h->call("download", {{"rid", rid}, {"onEvent", "__CHANNEL__:7"}});
        ASSERT_TRUE(downloaded) << c.what << ": " << downloaded.error();

        auto events = h->events();
        std::uint64_t received = 0;
        for (std::size_t i = 0; i < events.size(); ++i) {
            if (c.content.empty()) break;
            if (i == 0) {
                EXPECT_EQ(to_compact(events[i]),
                          to_compact(Json{{"event", "Started"}, {"data", {{"contentLength", c.content_length}}}}))
                    << c.what;
            } else if (i + 1 < events.size()) {
                EXPECT_EQ(events[i]["event"], "Progress") << c.what;
                received += events[i]["data"]["chunkLength"].get<std::uint64_t>();
            }
        }
        EXPECT_EQ(received, c.content.size()) << c.what;
        EXPECT_EQ(to_compact(events.back()), "{\"event\":\"Finished\"}") << c.what;
        if (c.content.empty()) EXPECT_EQ(events.size(), 1u);

        auto stored = h->table().get<DownloadedPackage>(downloaded->get<std::uint32_t>());
        ASSERT_TRUE(stored) << c.what;
        EXPECT_EQ(std::string((*stored)->bytes.begin(), (*stored)->bytes.end()), c.content) << c.what;
        auto sent = server->requests().back()["headers"];
        EXPECT_NE(std::find(sent.begin(), sent.end(), Json{"Accept", "application/octet-stream"}), sent.end());
    }
}

TEST_F(Updater, DownloadFailuresCreateNoPackage) {
    const std::string package = "MZ" + std::string(64 * 1024, 'q');
    auto good = publish("/fail/setup.exe", package, *key);
    auto foreign = publish("/fail/foreign.exe", package, *other_key);
    auto tampered = publish("/fail/tampered.exe", package, *key);
    auto flipped = package;
    flipped[100] ^= 0x04;
    files->write("tampered.exe", flipped);
    publish("/fail/stall.exe", package, *key, {{"stall_after", 1000}});
    publish("/fail/slow.exe", package, *key, {{"delay", 2}});
    server->route("/fail/missing.exe", {{"status", 404}, {"body", "gone"}});

    struct Case {
        const char* what;
        std::string path;
        std::string signature;
        Json extra_args;
        std::string expected;  // "^" matches the start
        bool finished;         // "Finished" was sent
    };
    const Case cases[] = {
        {"another key",
         "/fail/foreign.exe",
         foreign,
         {},
         "The signature was created with a different key than the one provided",
         true},
        {"flipped package bit", "/fail/tampered.exe", tampered, {}, "The signature verification failed", true},
        {"404", "/fail/missing.exe", good, {}, "`Download request failed with status: 404 Not Found`", false},
        {"stalled body",
         "/fail/stall.exe",
         good,
         {},
         "request or response body error: no data received for 6000 ms",
         false},
        {"time-out", "/fail/slow.exe", good, {{"timeout", 300u}}, "^error sending request for url (", false},
    };
    for (const auto& c : cases) {
        announce(c.path, c.signature);
        auto h = make_host();
        auto check = h->call("check");
        ASSERT_TRUE(check && check->is_object()) << outcome(check);
        Json args = {{"rid", (*check)["rid"]}, {"onEvent", "__CHANNEL__:3"}};
        if (c.extra_args.is_object()) args.update(c.extra_args);
        auto result = h->call("download", args);
        auto message = error_of(result);
        if (c.expected.starts_with("^")) {
            EXPECT_TRUE(message.starts_with(c.expected.substr(1))) << c.what << ": " << message;
        } else {
            EXPECT_EQ(message, c.expected) << c.what;
        }
        if (std::string(c.what) == "time-out") EXPECT_TRUE(message.ends_with("operation timed out")) << message;
        auto events = h->events();
        EXPECT_EQ(!events.empty() && events.back()["event"] == "Finished", c.finished) << c.what;
        EXPECT_EQ(h->table().size(), 1u) << c.what << ": only the update record";
    }
}

TEST_F(Updater, ProxyCarriesTheCheckAndTheDownloadButNotTheCheckTimeout) {
    const std::string package = "MZ" + std::string(1000, 'r');
    auto signature = publish("/proxy/setup.exe", package, *key, {{"delay", 4}});
    announce("/proxy/setup.exe", signature);
    ProxyServer proxy;
    auto h = make_host();
    // As much time for the check through the proxy as the test allows: less than the package's delay,
    // which stays below the 6 s stall guard.
    auto check = h->call("check", {{"proxy", proxy.url()}, {"timeout", 3000u}});
    ASSERT_TRUE(check && check->is_object()) << outcome(check);
    // The package answers after four seconds: the check's three do not bound the download.
    auto downloaded = h->call("download", {{"rid", (*check)["rid"]}, {"onEvent", "__CHANNEL__:1"}});
    EXPECT_TRUE(downloaded) << outcome(downloaded);
    auto through_proxy = proxy.requests();
    ASSERT_EQ(through_proxy.size(), 2u);
    auto server_address = server->url("").substr(std::string("https://").size());
    for (const auto& request : through_proxy) EXPECT_EQ(request["target"], server_address);
}

// The launcher takes no configuration from the environment: a given proxy carries every request
// whatever NO_PROXY says, and none means none whatever http_proxy says. And the edges of what HTTP
// and RFC 3339 allow: a time-out of zero, header values with obs-text, a leap second.
TEST_F(Updater, TakesNothingFromTheEnvironmentAndAcceptsWhatTheProtocolsAllow) {
    ProxyServer proxy;
    server->route("/edges/204", {{"status", 204}});
    server->route("/edges/leap.json", {{"body", Json{{"version", "0.1.37"},
                                                     {"pub_date", "2016-12-31T23:59:60Z"},
                                                     {"url", "https://127.0.0.1/p.exe"},
                                                     {"signature", "c2ln"}}
                                                    .dump()}});
    const std::vector<std::string> proxy_variables = {"http_proxy", "https_proxy", "HTTPS_PROXY", "ALL_PROXY",
                                                      "all_proxy"};
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> environment;
        Json args;
        std::string path;
        std::string expected;  // "null", "date TEXT", or "error MESSAGE"
        std::size_t proxied;   // requests the proxy carried
    };
    const Case cases[] = {
        {"timeout 0 fails at once",
         {},
         {{"timeout", 0}},
         "/edges/204",
         "error error sending request for url (" + server->url("/edges/204") + "): operation timed out",
         0},
        {"NO_PROXY does not bypass a given proxy",
         {{"NO_PROXY", "*"}, {"no_proxy", "127.0.0.1"}},
         {{"proxy", proxy.url()}},
         "/edges/204",
         "null",
         1},
        {"no proxy taken from the environment", {}, {}, "/edges/204", "null", 0},
        {"header value with obs-text",
         {},
         {{"headers", Json::array({Json::array({"X-Place", "Café Ünter"})})}},
         "/edges/204",
         "null",
         0},
        {"leap second in pub_date", {}, {}, "/edges/leap.json", "date 2016-12-31T23:59:59.999999999Z", 0},
    };
    for (const auto& c : cases) {
        for (const auto& name : proxy_variables) setenv(name.c_str(), proxy.url().c_str(), 1);
        for (const auto& [name, value] : c.environment) setenv(name.c_str(), value.c_str(), 1);
        auto before = proxy.requests().size();
        auto h = make_host({server->url(c.path)});
        auto result = h->call("check", c.args);
        for (const auto& name : proxy_variables) unsetenv(name.c_str());
        for (const auto& [name, value] : c.environment) unsetenv(name.c_str());

        std::string got = !result             ? "error " + result.error()
                          : result->is_null() ? "null"
                                              : "date " + (*result)["date"].get<std::string>();
        EXPECT_EQ(got, c.expected) << c.what;
        EXPECT_EQ(proxy.requests().size() - before, c.proxied) << c.what;
    }
    // The header's bytes arrive as sent (the server reads them as Latin-1).
    Json sent;
    for (const auto& request : server->requests()) {
        if (request["path"] == "/edges/204") sent = request["headers"];
    }
    EXPECT_NE(std::find(sent.begin(), sent.end(), Json{"X-Place", "CafÃ© Ãnter"}), sent.end()) << sent.dump();
}

TEST_F(Updater, InstallHandsOffAndResourceIdsAreChecked) {
    const std::string package = "MZ" + std::string(2000, 's');
    auto signature = publish("/install/setup.exe", package, *key);
    announce("/install/setup.exe", signature);
    auto h = make_host();
    auto check = h->call("check");
    ASSERT_TRUE(check && check->is_object()) << outcome(check);
    auto update_rid = (*check)["rid"].get<std::uint32_t>();
    auto downloaded = h->call("download", {{"rid", update_rid}, {"onEvent", "__CHANNEL__:1"}});
    ASSERT_TRUE(downloaded) << downloaded.error();
    auto bytes_rid = downloaded->get<std::uint32_t>();
    auto invalid = [](std::uint32_t rid) { return "The resource id " + std::to_string(rid) + " is invalid."; };

    const std::pair<Json, std::string> refused[] = {
        {{{"updateRid", update_rid}, {"bytesRid", update_rid}}, invalid(update_rid)},
        {{{"updateRid", bytes_rid}, {"bytesRid", bytes_rid}}, invalid(bytes_rid)},
        {{{"updateRid", 99999u}, {"bytesRid", bytes_rid}}, invalid(99999)},
        {{{"updateRid", update_rid}}, "command install missing required key bytesRid"},
    };
    for (const auto& [args, expected] : refused) EXPECT_EQ(error_of(h->call("install", args)), expected) << args;
    EXPECT_EQ(error_of(h->call("download", {{"rid", bytes_rid}, {"onEvent", "__CHANNEL__:1"}})), invalid(bytes_rid));
    EXPECT_EQ(h->table().size(), 2u);
    EXPECT_TRUE(h->shell.started.empty());

    auto installed = h->call("install", {{"updateRid", update_rid}, {"bytesRid", bytes_rid}});
    EXPECT_TRUE(installed) << outcome(installed);
    EXPECT_EQ(h->exit_code, 0);
    ASSERT_EQ(h->shell.started.size(), 1u);
    auto [executable, parameters] = h->shell.started[0];
    EXPECT_TRUE(executable.ends_with("/Mirravel - Launcher-0.1.37-installer.exe")) << executable;
    EXPECT_EQ(parameters, "/P /R /UPDATE /ARGS");
    EXPECT_EQ(testing::read_text(executable), package);
    EXPECT_EQ(h->table().size(), 0u) << "the pre-exit clean-up released every resource";
    std::filesystem::remove_all(std::filesystem::path(executable).parent_path());
}

TEST_F(Updater, FailedInstallKeepsThePackage) {
    const std::string package = "not an installer";
    auto signature = publish("/install/bad.bin", package, *key);
    announce("/install/bad.bin", signature);
    auto h = make_host();
    auto check = h->call("check");
    ASSERT_TRUE(check && check->is_object()) << outcome(check);
    auto rid = (*check)["rid"];
    EXPECT_EQ(error_of(h->call("download_and_install", {{"rid", rid}, {"onEvent", "__CHANNEL__:1"}})),
              "invalid updater binary format");
    auto downloaded = h->call("download", {{"rid", rid}, {"onEvent", "__CHANNEL__:1"}});
    ASSERT_TRUE(downloaded);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(error_of(h->call("install", {{"updateRid", rid}, {"bytesRid", *downloaded}})),
                  "invalid updater binary format");
    }
    EXPECT_EQ(h->table().size(), 2u);
    EXPECT_FALSE(h->exit_code);
}

TEST_F(Updater, AcceptsWhatPublishReleaseWrites) {
    TempDir release;
    const std::string package = "MZ published installer";
    auto installer = release.write("Mirravel Launcher_0.1.37_x64-setup.exe", package);
    auto out = release.file("out");
    ASSERT_TRUE(testing::run_command(std::string(LAUNCHER_TEST_FIXTURES) + "/../../../scripts/publish-release" +
                                     " --installer '" + installer + "' --version 0.1.37 --notes 'Новая версия'" +
                                     " --base-url " + server->url("/published") + " --secret-key '" +
                                     key->secret_key_file() + "' --out '" + out + "'"));
    server->route(manifest_path, {{"body_file", out + "/latest.json"}});
    server->route("/published/Mirravel%20Launcher_0.1.37_x64-setup.exe",
                  {{"body_file", out + "/Mirravel Launcher_0.1.37_x64-setup.exe"}});
    auto h = make_host();
    auto check = h->call("check");
    ASSERT_TRUE(check && check->is_object()) << outcome(check);
    EXPECT_EQ((*check)["version"], "0.1.37");
    EXPECT_EQ((*check)["body"], "Новая версия");
    EXPECT_TRUE((*check)["rawJson"]["platforms"].contains("windows-x86_64-nsis"));
    auto downloaded = h->call("download", {{"rid", (*check)["rid"]}, {"onEvent", "__CHANNEL__:1"}});
    EXPECT_TRUE(downloaded) << outcome(downloaded);
}

}  // namespace
}  // namespace launcher::plugins::updater
