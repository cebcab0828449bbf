#include "plugins/process/process_plugin.hpp"

#include <gtest/gtest.h>

#include "launcher/permission_set.hpp"
#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::outcome;

struct Kept : core::Resource {};

struct ProcessHost : testing::Host {
    ProcessHost() {
        plugins::process::register_process_plugin(app);
        app.router().set_permissions(launcher_permission_set());
        app.resources().add(std::make_shared<Kept>());
        app.webview_resources("main").add(std::make_shared<Kept>());
    }

    // Lets the main loop run what the command posted, up to the end of the loop.
    bool loop_ended() {
        return loop.run_until([this] { return loop.exit_code.has_value(); });
    }

    bool cleaned_up() {
        return app.resources().size() == 0 && app.webview_resources("main").size() == 0 &&
               main_window.calls == std::vector<std::string>{"hide"} &&
               splash_window.calls == std::vector<std::string>{"hide"};
    }
};

TEST(ProcessPlugin, RestartAnswersNullThenEndsTheLoopAfterTheCleanUp) {
    ProcessHost host;
    EXPECT_EQ(outcome(host.call("plugin:process|restart")), "answer null");
    EXPECT_TRUE(host.app.restart_requested());
    ASSERT_TRUE(host.loop_ended());
    EXPECT_TRUE(host.cleaned_up());
}

TEST(ProcessPlugin, ExitEndsTheLoopWithItsCode) {
    for (int code : {0, 3, -1, INT32_MAX, INT32_MIN}) {
        SCOPED_TRACE(code);
        ProcessHost host;
        EXPECT_EQ(outcome(host.call("plugin:process|exit", {{"code", code}})), "answer null");
        ASSERT_TRUE(host.loop_ended());
        EXPECT_EQ(host.loop.exit_code, code);
        EXPECT_TRUE(host.cleaned_up());
        EXPECT_FALSE(host.app.restart_requested());
    }
}

TEST(ProcessPlugin, ExitWithABadCodeChangesNothing) {
    struct Case {
        Json args;
        std::string error;
    };
    const Case cases[] = {
        {Json::object(), "command exit missing required key code"},
        {{{"code", "1"}}, "invalid args `code` for command `exit`: invalid type: string \"1\", expected i32"},
        {{{"code", 1.5}}, "invalid args `code` for command `exit`: invalid type: floating point `1.5`, expected i32"},
        {{{"code", 2147483648u}},
         "invalid args `code` for command `exit`: invalid value: integer `2147483648`, expected i32"},
        {{{"code", -2147483649LL}},
         "invalid args `code` for command `exit`: invalid value: integer `-2147483649`, expected i32"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.dump());
        ProcessHost host;
        EXPECT_EQ(outcome(host.call("plugin:process|exit", c.args)), "error " + c.error);
        // Tasks run in order: once this one has run, an exit request would have been seen.
        bool drained = false;
        host.loop.post([&] { drained = true; });
        ASSERT_TRUE(host.loop.run_until([&] { return drained; }));
        EXPECT_FALSE(host.loop.exit_code.has_value());
        EXPECT_EQ(host.app.resources().size(), 1u);
    }
}

}  // namespace
}  // namespace launcher
