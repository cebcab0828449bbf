#include "window/window_plugin.hpp"

#include <gtest/gtest.h>

#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::outcome;

struct WindowHost : testing::Host {
    WindowHost() { plugins::register_window_plugin(app); }

    // Grants the one command to every caller first: these tests are about what the commands do.
    core::CommandResult run(const std::string& name, Json args = Json::object(), const std::string& caller = "main") {
        auto key = "plugin:window|" + name;
        core::PermissionSet open;
        open.granted[key] = {{.windows = {"*"}, .local_only = false}};
        app.router().set_permissions(std::move(open));
        return call(key, std::move(args), caller);
    }
};

TEST(WindowPlugin, AddressesTheLabelledWindowElseTheCaller) {
    WindowHost host;
    struct Case {
        Json args;
        std::string caller;
        std::vector<std::string> main_calls, splash_calls;
        core::CommandResult expected;
    };
    const Case cases[] = {
        {{{"label", "main"}}, "main", {"minimize"}, {}, nullptr},
        {Json::object(), "splashscreen", {}, {"minimize"}, nullptr},
        {{{"label", nullptr}}, "main", {"minimize"}, {}, nullptr},
        {{{"label", "splashscreen"}}, "main", {}, {"minimize"}, nullptr},
        {{{"label", "settings"}}, "main", {}, {}, std::unexpected(std::string("window not found"))},
        {{{"label", true}},
         "main",
         {},
         {},
         std::unexpected(std::string(
             "invalid args `label` for command `minimize`: invalid type: boolean `true`, expected a string"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.dump() + " from " + c.caller);
        host.main_window.calls.clear();
        host.splash_window.calls.clear();
        EXPECT_EQ(outcome(host.run("minimize", c.args, c.caller)), outcome(c.expected));
        EXPECT_EQ(host.main_window.calls, c.main_calls);
        EXPECT_EQ(host.splash_window.calls, c.splash_calls);
    }
}

TEST(WindowPlugin, DragRegionDoubleClickLeavesAFixedSizeWindowAlone) {
    WindowHost host;
    ASSERT_TRUE(host.run("internal_toggle_maximize"));
    EXPECT_TRUE(host.main_window.maximized);
    ASSERT_TRUE(host.run("internal_toggle_maximize"));
    EXPECT_FALSE(host.main_window.maximized);

    host.main_window.resizable = false;
    ASSERT_TRUE(host.run("internal_toggle_maximize"));
    EXPECT_FALSE(host.main_window.maximized);
    // The title bar's own button still works.
    ASSERT_TRUE(host.run("toggle_maximize"));
    EXPECT_TRUE(host.main_window.maximized);
}

TEST(WindowPlugin, GettersAnswerInThePageShapes) {
    WindowHost host;
    host.main_window.fullscreen = true;
    const std::pair<std::string, Json> cases[] = {
        {"is_maximized", false},
        {"is_fullscreen", true},
        {"theme", "dark"},
        {"title", "Title of main"},
        {"scale_factor", 1.5},
        {"inner_size", {{"width", 1200}, {"height", 900}}},
        {"outer_size", {{"width", 1210}, {"height", 910}}},
        {"inner_position", {{"x", 15}, {"y", 25}}},
        {"outer_position", {{"x", 10}, {"y", 20}}},
        {"get_all_windows", {"main", "splashscreen"}},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(outcome(host.run(name)), outcome(expected)) << name;
    EXPECT_TRUE(host.main_window.calls.empty());
}

}  // namespace
}  // namespace launcher
