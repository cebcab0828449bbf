#include "plugins/window/window_plugin.hpp"

#include <gtest/gtest.h>

#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::outcome;

struct WindowHost : testing::Host {
    WindowHost() { plugins::window::register_window_plugin(app); }

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
        {"cursor_position", {{"x", 300}, {"y", 200}}},
        {"is_closable", true},
        {"is_enabled", true},
        {"is_maximizable", true},
        {"is_minimizable", true},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(outcome(host.run(name)), outcome(expected)) << name;
    EXPECT_TRUE(host.main_window.calls.empty());
}

TEST(WindowPlugin, MonitorsAnswerPhysicalGeometryOrNull) {
    WindowHost host;
    EXPECT_EQ(outcome(host.run("current_monitor")), "answer null");
    EXPECT_EQ(outcome(host.run("available_monitors")), "answer []");

    // A laptop panel at 2x with a panel bar, and a second screen to its right.
    host.main_window.monitors = {
        {"eDP-1", {2560, 1600}, {0, 0}, {2560, 1540}, {0, 60}, 2},
        {"HDMI-1", {1920, 1080}, {2560, 0}, {1920, 1080}, {2560, 0}, 1},
    };
    EXPECT_EQ(outcome(host.run("primary_monitor")),
              "answer {\"name\":\"eDP-1\",\"size\":{\"width\":2560,\"height\":1600},\"position\":{\"x\":0,"
              "\"y\":0},\"workArea\":{\"position\":{\"x\":0,\"y\":60},\"size\":{\"width\":2560,\"height\":1540}},"
              "\"scaleFactor\":2.0}");
    const std::pair<Json, std::string> points[] = {
        {{{"x", 0}, {"y", 0}}, "eDP-1"},
        {{{"x", 2559.5}, {"y", 1599}}, "eDP-1"},
        {{{"x", 2560}, {"y", 10}}, "HDMI-1"},
        // Below the shorter second screen, and left of everything: no monitor.
        {{{"x", 3000}, {"y", 1200}}, ""},
        {{{"x", -1}, {"y", 10}}, ""},
    };
    for (const auto& [point, name] : points) {
        auto monitor = host.run("monitor_from_point", point);
        ASSERT_TRUE(monitor) << monitor.error();
        EXPECT_EQ(monitor->is_null() ? "" : (*monitor)["name"].get<std::string>(), name) << point;
    }
    EXPECT_EQ(outcome(host.run("monitor_from_point", {{"x", 1}})),
              "error command monitor_from_point missing required key y");
}

}  // namespace
}  // namespace launcher
