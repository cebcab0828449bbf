#include "plugins/resources/resources_plugin.hpp"

#include <gtest/gtest.h>

#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::outcome;

struct Held : core::Resource {};

TEST(ResourcesPlugin, ClosesOnlyTheCallingViewsResources) {
    testing::Host host;
    core::PermissionSet set;
    set.granted["plugin:resources|close"] = {{.windows = {"*"}}};
    host.app.router().set_permissions(std::move(set));
    plugins::resources::register_resources_plugin(host.app);

    auto mine = host.app.webview_resources("main").add(std::make_shared<Held>());
    auto splash = host.app.webview_resources("splashscreen").add(std::make_shared<Held>());
    auto invalid = [](std::uint32_t rid) -> core::CommandResult {
        return std::unexpected("The resource id " + std::to_string(rid) + " is invalid.");
    };
    const std::pair<Json, core::CommandResult> cases[] = {
        {{{"rid", splash}}, invalid(splash)},
        {{{"rid", mine}}, nullptr},
        {{{"rid", mine}}, invalid(mine)},
        {Json::object(), std::unexpected(std::string("command close missing required key rid"))},
        {{{"rid", "1"}},
         std::unexpected(
             std::string("invalid args `rid` for command `close`: invalid type: string \"1\", expected u32"))},
    };
    for (const auto& [args, expected] : cases)
        EXPECT_EQ(outcome(host.call("plugin:resources|close", args)), outcome(expected)) << args;
    EXPECT_EQ(host.app.webview_resources("main").size(), 0u);
    EXPECT_EQ(host.app.webview_resources("splashscreen").size(), 1u);
}

}  // namespace
}  // namespace launcher
