#include "plugins/webview/webview_plugin.hpp"

#include <gtest/gtest.h>

#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::outcome;

TEST(WebviewPlugin, EachWindowsViewFillsItsClientArea) {
    testing::Host host;
    plugins::webview::register_webview_plugin(host.app);
    core::PermissionSet open;
    for (auto name : {"get_all_webviews", "webview_position", "webview_size"}) {
        open.granted[std::string("plugin:webview|") + name] = {{.windows = {"*"}}};
    }
    host.app.router().set_permissions(std::move(open));
    const std::tuple<std::string, Json, std::string, std::string> cases[] = {
        {"get_all_webviews", Json::object(), "main",
         R"(answer [{"windowLabel":"main","label":"main"},{"windowLabel":"splashscreen","label":"splashscreen"}])"},
        {"webview_size", Json::object(), "main", R"(answer {"width":1200,"height":900})"},
        {"webview_size", {{"label", "splashscreen"}}, "main", R"(answer {"width":1200,"height":900})"},
        {"webview_position", Json::object(), "splashscreen", R"(answer {"x":0,"y":0})"},
        {"webview_size", {{"label", "settings"}}, "main", "error webview not found"},
        {"webview_position",
         {{"label", 3}},
         "main",
         "error invalid args `label` for command `webview_position`: invalid type: integer `3`, expected a string"},
    };
    for (const auto& [name, args, caller, expected] : cases) {
        SCOPED_TRACE(name + " " + args.dump() + " from " + caller);
        EXPECT_EQ(outcome(host.call("plugin:webview|" + name, args, caller)), expected);
    }
}

}  // namespace
}  // namespace launcher
