#include "plugins/opener/opener_plugin.hpp"

#include <gtest/gtest.h>

#include <page/scripts.hpp>

#include "core/glob.hpp"
#include "launcher/permission_set.hpp"
#include "plugins/opener/url_scope.hpp"
#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::outcome;
using namespace plugins::opener;

TEST(UrlGlob, MatchesTheWholeUrlText) {
    struct Case {
        std::string pattern, text;
        bool matches;
    };
    const Case cases[] = {
        {"https://*", "https://mirravel.games/news/2025?x=a:b#top", true},
        {"https://*", "HTTPS://mirravel.games", false},
        {"https://*", " https://mirravel.games", false},
        {"*://*.games/*", "https://cdn.mirravel.games/a/b", true},
        {"http?://x", "https://x", true},
        {"http?://x", "http://x", false},
        {"[ht]el:*", "tel:+7", true},
        {"[!h]el:*", "hel:+7", false},
        {"[]]x", "]x", true},
        // "?" and classes take one character, however many bytes it is in UTF-8.
        {"https://caf\xc3\xa9/?", "https://caf\xc3\xa9/\xc3\xa9", true},
        {"https://x/[\xc3\xa9\xc3\xa8]", "https://x/\xc3\xa8", true},
        {"https://x/[!\xc3\xa9]", "https://x/\xc3\xa9", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core::glob_match(c.pattern, c.text), c.matches) << c.pattern << " ~ " << c.text;
    }
}

TEST(UrlScope, DenyWinsAndTheAppSettingAdmitsWith) {
    const UrlScope scope{
        .allow = {{"https://*", {}},
                  {"http://any.example/*", true},
                  {"http://none.example/*", false},
                  {"mailto:*", std::string("thunderbird")}},
        .deny = {{"https://blocked.example/*", {}}},
    };
    struct Case {
        std::string url;
        std::optional<std::string> with;
        bool allowed;
    };
    const Case cases[] = {
        {"https://mirravel.games/", std::nullopt, true},
        {"https://mirravel.games/", "firefox", false},
        {"https://blocked.example/x", std::nullopt, false},
        {"http://any.example/x", "firefox", true},
        {"http://any.example/x", std::nullopt, true},
        {"http://none.example/x", std::nullopt, false},
        {"mailto:a@b", "thunderbird", true},
        {"mailto:a@b", "mutt", false},
        {"mailto:a@b", std::nullopt, false},
        {"ftp://files.example/", std::nullopt, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(url_allowed(scope, c.url, c.with), c.allowed) << c.url << " with " << c.with.value_or("-");
    }
}

TEST(UrlScope, ReadsThePermissionSetForm) {
    auto scope = url_scope_from_json(Json::parse(
        R"({"allow": [{"url": "https://*"}, {"url": "http://*", "app": true}, {"url": "tel:*", "app": "phone"}],
            "deny": [{"url": "https://x/*"}]})"));
    ASSERT_TRUE(scope) << scope.error();
    EXPECT_TRUE(url_allowed(*scope, "http://a", "anything"));
    EXPECT_TRUE(url_allowed(*scope, "tel:1", "phone"));
    EXPECT_FALSE(url_allowed(*scope, "https://x/y", std::nullopt));

    for (const char* bad :
         {R"([])", R"({"allow": {}})", R"({"allow": [{"app": true}]})", R"({"deny": [{"url": "x", "app": 1}]})"}) {
        EXPECT_FALSE(url_scope_from_json(Json::parse(bad))) << bad;
    }
}

struct RecordingShell : platform::Shell {
    void start(const std::string&, const std::string&) override {}
    std::expected<void, std::string> open_url(const std::string& url, const std::optional<std::string>& with) override {
        opened.push_back(url + (with ? " with " + *with : ""));
        if (failure) return std::unexpected(*failure);
        return {};
    }
    std::expected<void, std::string> reveal(const std::vector<std::string>& paths) override {
        for (const auto& path : paths) opened.push_back("reveal " + path);
        if (failure) return std::unexpected(*failure);
        return {};
    }
    std::vector<std::string> opened;
    std::optional<std::string> failure;
};

// The opener inside the launcher's host, with the launcher's own permission set and scope.
struct OpenerHost : testing::Host {
    RecordingShell shell;
    OpenerHost() {
        plugins::opener::register_opener_plugin(app, shell);
        app.router().set_permissions(launcher_permission_set());
    }
};

TEST(OpenerPlugin, OpensOnlyWhatTheLauncherScopeAllows) {
    struct Case {
        Json args;
        std::string outcome;
        std::vector<std::string> opened;
    };
    const Case cases[] = {
        {{{"url", "https://mirravel.games/"}}, "answer null", {"https://mirravel.games/"}},
        {{{"url", "http://mirravel.games/a?b=c"}}, "answer null", {"http://mirravel.games/a?b=c"}},
        {{{"url", "mailto:support@mirravel.games"}}, "answer null", {"mailto:support@mirravel.games"}},
        {{{"url", "tel:+70000000000"}}, "answer null", {"tel:+70000000000"}},
        {{{"url", "ftp://files.mirravel.games/x"}}, "error Not allowed to open url ftp://files.mirravel.games/x", {}},
        {{{"url", "file:///etc/passwd"}}, "error Not allowed to open url file:///etc/passwd", {}},
        {{{"url", "javascript:alert(1)"}}, "error Not allowed to open url javascript:alert(1)", {}},
        {{{"url", "https://mirravel.games/"}, {"with", "firefox"}},
         "error Not allowed to open url https://mirravel.games/ with firefox",
         {}},
        {{{"url", "https://mirravel.games/"}, {"with", nullptr}}, "answer null", {"https://mirravel.games/"}},
        {Json::object(), "error command open_url missing required key url", {}},
        {{{"url", 5}},
         "error invalid args `url` for command `open_url`: invalid type: integer `5`, expected a string",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.dump());
        OpenerHost host;
        EXPECT_EQ(outcome(host.call("plugin:opener|open_url", c.args)), c.outcome);
        EXPECT_EQ(host.shell.opened, c.opened);
    }
}

TEST(OpenerPlugin, ReportsTheShellsFailure) {
    OpenerHost host;
    host.shell.failure = "Operation not supported";
    EXPECT_EQ(outcome(host.call("plugin:opener|open_url", {{"url", "https://mirravel.games/"}})),
              "error Operation not supported");
}

TEST(OpenerPlugin, RevealsThePathsThroughTheShell) {
    const std::tuple<Json, std::optional<std::string>, std::string, std::vector<std::string>> cases[] = {
        {{{"paths", {"/tmp/a.txt", "/tmp/b"}}}, std::nullopt, "answer null", {"reveal /tmp/a.txt", "reveal /tmp/b"}},
        {{{"paths", {"/tmp/gone"}}},
         "path does not exist: /tmp/gone",
         "error path does not exist: /tmp/gone",
         {"reveal /tmp/gone"}},
        {{{"paths", "/tmp/a.txt"}},
         std::nullopt,
         "error invalid args `paths` for command `reveal_item_in_dir`: invalid type: string \"/tmp/a.txt\", "
         "expected a sequence",
         {}},
    };
    for (const auto& [args, failure, expected, opened] : cases) {
        SCOPED_TRACE(args.dump());
        OpenerHost host;
        host.shell.failure = failure;
        EXPECT_EQ(outcome(host.call("plugin:opener|reveal_item_in_dir", args)), expected);
        EXPECT_EQ(host.shell.opened, opened);
    }
}

TEST(OpenerPlugin, InjectsTheLinkScriptIntoTopFrames) {
    OpenerHost host;
    ASSERT_EQ(host.app.page_scripts().size(), 1u);
    EXPECT_EQ(host.app.page_scripts()[0].source, page::links);
    EXPECT_TRUE(host.app.page_scripts()[0].top_frame_only);
}

}  // namespace
}  // namespace launcher
