// The router: argument decoding messages, the order of refusals, where handlers run, and
// exceptions kept away from pages.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <utility>

#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::Host;
using testing::outcome;

TEST(ArgumentDecoding, MessagesNameTheCommandTheKeyAndTheDecodersReason) {
    struct Case {
        Json args;
        std::string expected;
    };
    const std::string prefix = "invalid args `task` for command `set_complete`: ";
    const Case cases[] = {
        {Json::object(), "command set_complete missing required key task"},
        {{{"task", 5}}, prefix + "invalid type: integer `5`, expected a string"},
        {{{"task", -2}}, prefix + "invalid type: integer `-2`, expected a string"},
        {{{"task", 1.5}}, prefix + "invalid type: floating point `1.5`, expected a string"},
        {{{"task", true}}, prefix + "invalid type: boolean `true`, expected a string"},
        {{{"task", nullptr}}, prefix + "invalid type: null, expected a string"},
        {{{"task", Json::array()}}, prefix + "invalid type: sequence, expected a string"},
        {{{"task", Json::object()}}, prefix + "invalid type: map, expected a string"},
        {{{"task", "frontend"}}, "ok frontend"},
    };
    for (const auto& c : cases) {
        auto task = core::required_arg<std::string>(c.args, "set_complete", "task");
        EXPECT_EQ(task ? "ok " + *task : task.error(), c.expected) << c.args.dump();
    }
}

TEST(ArgumentDecoding, IntegersAreRangeChecked) {
    struct Case {
        Json value;
        std::string expected;
    };
    const Case cases[] = {
        {7, "7"},
        {7u, "7"},
        {4294967295ull, "4294967295"},
        {4294967296ull, "invalid value: integer `4294967296`, expected u32"},
        {-1, "invalid value: integer `-1`, expected u32"},
        {"7", "invalid type: string \"7\", expected u32"},
    };
    for (const auto& c : cases) {
        auto rid = core::ArgDecoder<std::uint32_t>::decode(c.value);
        EXPECT_EQ(rid ? std::to_string(*rid) : rid.error(), c.expected) << c.value.dump();
    }
}

TEST(ArgumentDecoding, SignedIntegersAreRangeChecked) {
    struct Case {
        Json value;
        std::string expected;
    };
    const Case cases[] = {
        {-2147483648ll, "-2147483648"},
        {2147483647u, "2147483647"},
        {2147483648u, "invalid value: integer `2147483648`, expected i32"},
        {-2147483649ll, "invalid value: integer `-2147483649`, expected i32"},
        {1.0, "invalid type: floating point `1.0`, expected i32"},
    };
    for (const auto& c : cases) {
        auto code = core::ArgDecoder<std::int32_t>::decode(c.value);
        EXPECT_EQ(code ? std::to_string(*code) : code.error(), c.expected) << c.value.dump();
    }
}

TEST(ArgumentDecoding, OptionalArgumentsAcceptAbsenceAndNull) {
    Json args = {{"present", "x"}, {"empty", nullptr}, {"wrong", 3}};
    EXPECT_EQ(core::optional_arg<std::string>(args, "c", "present").value(), "x");
    EXPECT_FALSE(core::optional_arg<std::string>(args, "c", "empty").value().has_value());
    EXPECT_FALSE(core::optional_arg<std::string>(args, "c", "absent").value().has_value());
    EXPECT_EQ(core::optional_arg<std::string>(args, "c", "wrong").error(),
              "invalid args `wrong` for command `c`: invalid type: integer `3`, expected a string");
}

TEST(ArgumentDecoding, ARecordDecodesInOrderAndItsFirstFailureWins) {
    struct Case {
        const char* what;
        Json args;
        std::string expected;
    };
    auto invalid_arg = [&](const char* key, const std::string& reason) {
        return "invalid args `" + std::string(key) + "` for command `fetch`: " + reason;
    };
    const Case cases[] = {
        {"every argument", {{"url", "u"}, {"timeout", 5}, {"quiet", true}}, "u 5 true"},
        {"the optional one absent", {{"url", "u"}, {"quiet", false}}, "u - false"},
        {"the optional one null", {{"url", "u"}, {"timeout", nullptr}, {"quiet", false}}, "u - false"},
        {"a required one null",
         {{"url", nullptr}, {"quiet", false}},
         invalid_arg("url", "invalid type: null, expected a string")},
        {"a required one missing", {{"url", "u"}}, "command fetch missing required key quiet"},
        {"the optional one of the wrong type",
         {{"url", "u"}, {"timeout", "5"}, {"quiet", true}},
         invalid_arg("timeout", "invalid type: string \"5\", expected u32")},
        {"the first of two failures wins",
         {{"url", 1}, {"timeout", -1}},
         invalid_arg("url", "invalid type: integer `1`, expected a string")},
        {"a failure before a missing key",
         {{"url", "u"}, {"timeout", -1}},
         invalid_arg("timeout", "invalid value: integer `-1`, expected u32")},
        {"a missing key before a failure", {{"timeout", -1}}, "command fetch missing required key url"},
    };
    for (const auto& c : cases) {
        auto args = core::decode_args<std::string, std::optional<std::uint32_t>, bool>(c.args, "fetch", "url",
                                                                                       "timeout", "quiet");
        std::string seen;
        if (args) {
            const auto& [url, timeout, quiet] = *args;
            seen = url + " " + (timeout ? std::to_string(*timeout) : "-") + " " + (quiet ? "true" : "false");
        }
        EXPECT_EQ(args ? seen : args.error(), c.expected) << c.what;
    }
}

TEST(ArgumentDecoding, ChannelsAreReferencesToPageCallbacks) {
    Host host;
    std::vector<std::string> seen;
    host.app.router().add(
        {"take_channel", core::RunOn::main_thread, [&](core::Invocation& call) -> core::CommandResult {
             auto channel = call.channel("onEvent");
             if (!channel) return std::unexpected(channel.error());
             channel->send(Json{{"n", 1}});
             return Json(channel->id());
         }});
    EXPECT_EQ(outcome(host.call("take_channel", {{"onEvent", "__CHANNEL__:42"}})), "answer 42");
    ASSERT_EQ(host.main_page->deliveries().size(), 1u);
    EXPECT_EQ(host.main_page->deliveries()[0].first, 42u);
    for (const char* bad : {"__CHANNEL__:", "__CHANNEL__:4x", "channel:4", "__CHANNEL__:99999999999"}) {
        EXPECT_EQ(outcome(host.call("take_channel", {{"onEvent", bad}})),
                  "error invalid args `onEvent` for command `take_channel`: invalid value: string " + Json(bad).dump() +
                      ", expected a channel reference")
            << bad;
    }
}

TEST(ArgumentDecoding, ARecordMayHoldAChannelOfTheCallingPage) {
    Host host;
    host.app.router().add({"send_to", core::RunOn::main_thread, [](core::Invocation& call) -> core::CommandResult {
                               auto args = call.decode<core::Channel, std::uint32_t>("onEvent", "n");
                               if (!args) return std::unexpected(args.error());
                               const auto& [channel, n] = *args;
                               channel.send(Json(n));
                               return nullptr;
                           }});
    EXPECT_EQ(outcome(host.call("send_to", {{"onEvent", "__CHANNEL__:7"}, {"n", 3}})), "answer null");
    ASSERT_EQ(host.main_page->deliveries().size(), 1u);
    EXPECT_EQ(host.main_page->deliveries()[0], std::make_pair(7u, Json(3)));
    EXPECT_EQ(outcome(host.call("send_to", {{"onEvent", "7"}, {"n", "x"}})),
              "error invalid args `onEvent` for command `send_to`: invalid value: string \"7\", expected a channel "
              "reference");
    EXPECT_EQ(outcome(host.call("send_to", {{"onEvent", "__CHANNEL__:7"}})),
              "error command send_to missing required key n");
}

TEST(Router, RefusesInTheOrderPagesRelyOn) {
    Host host;
    auto& router = host.app.router();
    router.add({"launcher_own", core::RunOn::main_thread, [](core::Invocation&) { return Json("own"); }});
    router.plugin("granted").add("served", core::RunOn::main_thread, [](core::Invocation&) { return Json("served"); });
    core::PermissionSet permissions;
    for (const char* key : {"plugin:granted|served", "plugin:granted|unserved", "plugin:absent|cmd"}) {
        permissions.granted[key] = {{{"main"}, true}};
    }
    router.set_permissions(permissions);

    struct Case {
        std::string key;
        std::string window;
        bool local;
        std::string expected;
    };
    const Case cases[] = {
        {"launcher_own", "main", true, "answer \"own\""},
        {"launcher_own", "splashscreen", true, "answer \"own\""},
        {"launcher_own", "main", false, "answer \"own\""},
        {"launcher_other", "main", true, "error Command launcher_other not found"},
        {"plugin:granted|served", "main", true, "answer \"served\""},
        {"plugin:granted|served", "splashscreen", true, "error Command plugin:granted|served not allowed by ACL"},
        {"plugin:granted|served", "main", false, "error Command plugin:granted|served not allowed by ACL"},
        {"plugin:granted|other", "main", true, "error Command plugin:granted|other not allowed by ACL"},
        {"plugin:granted|unserved", "main", true, "error Command plugin:granted|unserved not found"},
        {"plugin:absent|cmd", "main", true, "error plugin absent not found"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outcome(host.call(c.key, Json::object(), c.window, c.local)), c.expected)
            << c.key << " from " << c.window << (c.local ? "" : " (foreign page)");
    }
}

TEST(Router, RunsSynchronousCommandsAtOnceAndAsynchronousOnesOnWorkersAnsweringOnMain) {
    Host host;
    auto main_thread = std::this_thread::get_id();
    std::thread::id sync_thread, async_thread, answer_thread;
    host.app.router().add({"sync", core::RunOn::main_thread, [&](core::Invocation&) {
                               sync_thread = std::this_thread::get_id();
                               return Json(1);
                           }});
    host.app.router().add({"async", core::RunOn::worker, [&](core::Invocation&) {
                               async_thread = std::this_thread::get_id();
                               return Json(2);
                           }});
    bool answered_at_once = false;
    host.app.router().dispatch({"sync", Json::object(), {"main", "main", true}, host.main_page},
                               [&](core::CommandResult) { answered_at_once = true; });
    EXPECT_TRUE(answered_at_once);
    EXPECT_EQ(sync_thread, main_thread);

    std::optional<core::CommandResult> answer;
    host.app.router().dispatch({"async", Json::object(), {"main", "main", true}, host.main_page},
                               [&](core::CommandResult result) {
                                   answer_thread = std::this_thread::get_id();
                                   answer = result;
                               });
    ASSERT_TRUE(host.loop.run_until([&] { return answer.has_value(); }));
    EXPECT_NE(async_thread, main_thread);
    EXPECT_EQ(answer_thread, main_thread);
    EXPECT_EQ(outcome(*answer), "answer 2");
}

TEST(Router, AnExceptionInAHandlerBecomesTheCallsError) {
    Host host;
    host.app.router().add({"throws", core::RunOn::worker,
                           [](core::Invocation&) -> core::CommandResult { return Json::parse("{not json"); }});
    auto result = host.call("throws");
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().find("parse error"), std::string::npos) << result.error();
}

TEST(RouterDeathTest, RegistrationMistakesAreFatal) {
    auto nothing = [](core::Invocation&) -> core::CommandResult { return Json(); };
    const std::pair<std::function<void(core::Router&)>, std::string> cases[] = {
        {[&](core::Router& router) {
             router.add({"twice", core::RunOn::main_thread, nothing});
             router.add({"twice", core::RunOn::main_thread, nothing});
         },
         "command registered twice: twice"},
        {[&](core::Router& router) {
             router.plugin("window")
                 .add("close", core::RunOn::main_thread, nothing)
                 .add("close", core::RunOn::main_thread, nothing);
         },
         "command registered twice: plugin:window\\|close"},
        {[&](core::Router& router) {
             router.plugin("window");
             router.plugin("window");
         },
         "plugin registered twice: window"},
        {[&](core::Router& router) {
             router.add({"plugin:window|close", core::RunOn::main_thread, nothing});
         },
         "command of an unregistered plugin: plugin:window\\|close"},
    };
    for (const auto& [mistake, message] : cases) {
        EXPECT_EXIT(
            {
                Host host;
                mistake(host.app.router());
            },
            ::testing::ExitedWithCode(101), message);
    }
}

}  // namespace
}  // namespace launcher
