#include "launcher/permission_set.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/glob.hpp"
#include "plugins/app/app_plugin.hpp"
#include "plugins/event/event_plugin.hpp"
#include "plugins/resources/resources_plugin.hpp"
#include "plugins/window/window_plugin.hpp"
#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::outcome;

using testing::Host;

core::CommandResult answer(Json value) { return value; }
core::CommandResult failure(std::string message) { return std::unexpected(std::move(message)); }
std::string refused(const std::string& key) { return "Command " + key + " not allowed by ACL"; }

// The launcher's host with its permission set, the core plugins, and stand-ins for the
// launcher's own commands and for the plugins served elsewhere (os serves only locale).
struct LauncherHost : Host {
    LauncherHost() {
        auto& router = app.router();
        router.set_permissions(launcher_permission_set());
        plugins::app::register_app_plugin(app, "nsis");
        plugins::window::register_window_plugin(app);
        plugins::event::register_event_plugin(app);
        plugins::resources::register_resources_plugin(app);
        auto stand_in = [&](std::string key, Json result, core::RunOn run_on = core::RunOn::main_thread) {
            router.add({std::move(key), run_on, [result](core::Invocation&) -> core::CommandResult { return result; }});
        };
        router.add_plugin("os");
        stand_in("plugin:os|locale", "en-US");
        stand_in("plugin:os|hostname", "box");
        router.add_plugin("system-info");
        for (auto command : {"cpu_info", "memory_info", "all_sys_info", "disks", "components"}) {
            stand_in(std::string("plugin:system-info|") + command, command);
        }
        stand_in("set_complete", nullptr, core::RunOn::worker);
        stand_in("list_gpus", Json::array(), core::RunOn::worker);
        stand_in("plugin:__TAURI_CHANNEL__|fetch", "channel data");
    }
};

TEST(PermissionSet, GrantsOnlyTheMainWindowCommandsToLocalPages) {
    LauncherHost host;
    struct Case {
        std::string key;
        Json args;
        std::string window;
        bool local;
        core::CommandResult expected;
    };
    const Case cases[] = {
        // The title bar's actions run; window setters are refused before their arguments are read.
        {"plugin:window|close", {}, "main", true, answer(nullptr)},
        {"plugin:window|minimize", {}, "main", true, answer(nullptr)},
        {"plugin:window|toggle_maximize", {{"label", "main"}}, "main", true, answer(nullptr)},
        {"plugin:window|start_dragging", {}, "main", true, answer(nullptr)},
        {"plugin:window|maximize", {}, "main", true, failure(refused("plugin:window|maximize"))},
        {"plugin:window|set_title", {{"title", 5}}, "main", true, failure(refused("plugin:window|set_title"))},
        {"plugin:window|hide", {}, "main", true, failure(refused("plugin:window|hide"))},
        {"plugin:window|minimize",
         {{"label", 5}},
         "main",
         true,
         failure("invalid args `label` for command `minimize`: invalid type: integer `5`, expected a string")},
        // toggle_maximize above went through to the window.
        {"plugin:window|is_maximized", {}, "main", true, answer(true)},
        {"plugin:app|name", {}, "main", true, answer("Mirravel - Launcher")},
        {"plugin:app|version", {}, "main", true, answer("0.1.36")},
        {"plugin:app|tauri_version", {}, "main", true, answer("2.11.0")},
        {"plugin:app|bundle_type", {}, "main", true, answer("nsis")},
        {"plugin:app|register_listener", {}, "main", true, failure("Command plugin:app|register_listener not found")},
        // Granted but not served: the os plugin answers only locale, and no log plugin exists.
        {"plugin:os|locale", {}, "main", true, answer("en-US")},
        {"plugin:os|arch", {}, "main", true, failure("Command plugin:os|arch not found")},
        {"plugin:os|hostname", {}, "main", true, failure(refused("plugin:os|hostname"))},
        {"plugin:log|log", {{"level", 1}}, "main", true, failure("plugin log not found")},
        {"plugin:system-info|cpu_info", {}, "main", true, answer("cpu_info")},
        {"plugin:system-info|memory_info", {}, "main", true, answer("memory_info")},
        {"plugin:system-info|all_sys_info", {}, "main", true, failure(refused("plugin:system-info|all_sys_info"))},
        {"plugin:system-info|disks", {}, "main", true, failure(refused("plugin:system-info|disks"))},
        // Framework groups this host does not implement are reported as missing plugins.
        {"plugin:menu|new", {}, "main", true, failure("plugin menu not found")},
        {"plugin:tray|new", {}, "main", true, failure("plugin tray not found")},
        {"plugin:unknown|thing", {}, "main", true, failure(refused("plugin:unknown|thing"))},
        // The launcher's own commands and channel data are never checked.
        {"set_complete", {{"task", "frontend"}}, "splashscreen", true, answer(nullptr)},
        {"list_gpus", {}, "splashscreen", true, answer(Json::array())},
        {"list_gpus", {}, "main", true, answer(Json::array())},
        {"no_such_command", {}, "main", true, failure("Command no_such_command not found")},
        {"plugin:__TAURI_CHANNEL__|fetch", {}, "splashscreen", true, answer("channel data")},
        // A page from another origin in main holds nothing.
        {"plugin:app|version", {}, "main", false, failure(refused("plugin:app|version"))},
        {"plugin:window|minimize", {}, "main", false, failure(refused("plugin:window|minimize"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key + " from " + c.window + (c.local ? "" : " (remote)"));
        EXPECT_EQ(outcome(host.call(c.key, c.args, c.window, c.local)), outcome(c.expected));
    }
    // Only the allowed actions reached a window, in order.
    EXPECT_EQ(host.main_window.calls,
              (std::vector<std::string>{"close", "minimize", "toggle_maximize", "start_dragging"}));
    EXPECT_TRUE(host.splash_window.calls.empty());
}

TEST(PermissionSet, NoGrantReachesTheSplashWindowOrARemotePage) {
    LauncherHost host;
    const auto set = launcher_permission_set();
    EXPECT_EQ(set.granted.size(), 114u);
    for (const auto& [key, entries] : set.granted) {
        SCOPED_TRACE(key);
        EXPECT_EQ(outcome(host.call(key, {}, "splashscreen", true)), outcome(failure(refused(key))));
        EXPECT_EQ(outcome(host.call(key, {}, "main", false)), outcome(failure(refused(key))));
        EXPECT_TRUE(set.allows(key, {"main", "main", true}));
        // The pattern is the exact label, not a prefix.
        EXPECT_FALSE(set.allows(key, {"main2", "main2", true}));
    }
    EXPECT_TRUE(host.main_window.calls.empty());
    EXPECT_TRUE(host.splash_window.calls.empty());
}

TEST(PermissionSet, OpenerScopeAllowsWebMailAndPhoneLinksOnly) {
    const Json scope = launcher_permission_set().scopes.at("opener");
    EXPECT_EQ(scope["deny"], Json::array());
    auto allowed = [&](std::string_view url) {
        return std::ranges::any_of(
            scope["allow"], [&](const Json& entry) { return core::glob_match(entry["url"].get<std::string>(), url); });
    };
    const std::pair<std::string_view, bool> cases[] = {
        {"https://mirravel.games/about?x=1#top", true},
        {"http://127.0.0.1:8080/", true},
        {"mailto:team@mirravel.games", true},
        {"tel:+70000000000", true},
        {"file:///etc/passwd", false},
        {"mirravel://open", false},
        {"javascript:alert(1)", false},
    };
    for (const auto& [url, expected] : cases) EXPECT_EQ(allowed(url), expected) << url;
}

}  // namespace
}  // namespace launcher
