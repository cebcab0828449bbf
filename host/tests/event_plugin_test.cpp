#include "plugins/event/event_plugin.hpp"

#include <gtest/gtest.h>

#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::outcome;

core::CommandResult failure(std::string message) { return std::unexpected(std::move(message)); }

struct EventHost : testing::Host {
    EventHost() {
        core::PermissionSet set;
        for (auto command : {"listen", "unlisten", "emit", "emit_to"}) {
            set.granted[std::string("plugin:event|") + command] = {{.windows = {"*"}}};
        }
        app.router().set_permissions(std::move(set));
        plugins::event::register_event_plugin(app);
    }
    std::uint32_t listen(const std::string& event, Json target, std::uint32_t handler, const std::string& window) {
        auto id = call("plugin:event|listen", {{"event", event}, {"target", target}, {"handler", handler}}, window);
        EXPECT_TRUE(id && id->is_number_unsigned()) << (id ? id->dump() : id.error());
        return id ? id->get<std::uint32_t>() : 0;
    }
};

Json window_target(const std::string& label) { return {{"kind", "Window"}, {"label", label}}; }

TEST(EventPlugin, DeliversToListenersOfTheTargetedWindow) {
    EventHost host;
    auto resize = host.listen("tauri://resize", window_target("main"), 7, "main");
    auto any = host.listen("tauri://resize", {{"kind", "Any"}}, 8, "main");
    host.listen("tauri://resize", window_target("splashscreen"), 9, "splashscreen");
    host.listen("tauri://theme-changed", window_target("main"), 10, "main");

    const Json size = {{"width", 800}, {"height", 600}};
    EXPECT_EQ(outcome(host.call("plugin:event|emit_to",
                                {{"target", window_target("main")}, {"event", "tauri://resize"}, {"payload", size}})),
              "answer null");
    EXPECT_EQ(host.main_page->deliveries(), (std::vector<std::pair<std::uint32_t, Json>>{
                                                {7, {{"event", "tauri://resize"}, {"id", resize}, {"payload", size}}},
                                                {8, {{"event", "tauri://resize"}, {"id", any}, {"payload", size}}}}));
    EXPECT_TRUE(host.splash_page->deliveries().empty());

    // emit reaches every listener of the event, whatever its target; a missing payload is null.
    EXPECT_EQ(outcome(host.call("plugin:event|emit", {{"event", "tauri://resize"}})), "answer null");
    EXPECT_EQ(host.main_page->deliveries().size(), 4u);
    ASSERT_EQ(host.splash_page->deliveries().size(), 1u);
    EXPECT_EQ(host.splash_page->deliveries()[0].second["payload"], nullptr);

    // After unlisten the handler hears nothing more; the other listeners still do.
    EXPECT_EQ(outcome(host.call("plugin:event|unlisten", {{"event", "tauri://resize"}, {"eventId", resize}})),
              "answer null");
    host.app.events().emit_to("main", "tauri://resize", size);
    auto deliveries = host.main_page->deliveries();
    ASSERT_EQ(deliveries.size(), 5u);
    EXPECT_EQ(deliveries.back().first, 8u);
}

TEST(EventPlugin, EmitToAcceptsALabelOrAnyTarget) {
    EventHost host;
    host.listen("ready", window_target("splashscreen"), 3, "splashscreen");
    const std::pair<Json, std::size_t> cases[] = {
        {"main", 0},
        {"splashscreen", 1},
        {{{"kind", "WebviewWindow"}, {"label", "splashscreen"}}, 2},
        {{{"kind", "Any"}}, 3},
    };
    for (const auto& [target, delivered] : cases) {
        EXPECT_EQ(outcome(host.call("plugin:event|emit_to", {{"target", target}, {"event", "ready"}, {"payload", 1}})),
                  "answer null");
        EXPECT_EQ(host.splash_page->deliveries().size(), delivered) << target.dump();
    }
}

TEST(EventPlugin, RefusesMalformedArguments) {
    EventHost host;
    const std::pair<Json, std::string> cases[] = {
        {{{"target", {{"kind", "Any"}}}, {"handler", 1}}, "command listen missing required key event"},
        {{{"event", "a b"}, {"target", {{"kind", "Any"}}}, {"handler", 1}},
         "invalid args `event` for command `listen`: invalid value: string \"a b\", expected an event name of "
         "letters, digits, `-`, `/`, `:` and `_`"},
        {{{"event", ""}, {"target", {{"kind", "Any"}}}, {"handler", 1}},
         "invalid args `event` for command `listen`: invalid value: string \"\", expected an event name of "
         "letters, digits, `-`, `/`, `:` and `_`"},
        {{{"event", "x"}, {"target", {{"kind", "Everyone"}}}, {"handler", 1}},
         "invalid args `target` for command `listen`: unknown variant `Everyone`, expected one of `Any`, "
         "`AnyLabel`, `App`, `Window`, `Webview`, `WebviewWindow`"},
        {{{"event", "x"}, {"target", {{"kind", "Window"}}}, {"handler", 1}},
         "invalid args `target` for command `listen`: missing field `label`"},
        {{{"event", "x"}, {"target", 4}, {"handler", 1}},
         "invalid args `target` for command `listen`: invalid type: integer `4`, expected an event target"},
        {{{"event", "x"}, {"target", {{"kind", "Any"}}}, {"handler", -1}},
         "invalid args `handler` for command `listen`: invalid value: integer `-1`, expected u32"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(outcome(host.call("plugin:event|listen", args)), outcome(failure(message))) << args.dump();
    }
}

}  // namespace
}  // namespace launcher
