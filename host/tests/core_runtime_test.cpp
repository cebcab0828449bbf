// The shared pieces of the runtime: resource tables, events, the worker pool, glob patterns
// and the pre-exit clean-up.
#include <gtest/gtest.h>

#include <atomic>

#include "core/glob.hpp"
#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::Host;

struct Record : core::Resource {};
struct Package : core::Resource {};

TEST(ResourceTable, WrongKindsAndUnknownIdsAreInvalidAndChangeNothing) {
    core::ResourceTable table;
    auto record = table.add(std::make_shared<Record>());
    auto package = table.add(std::make_shared<Package>());
    EXPECT_NE(record, package);

    EXPECT_TRUE(table.get<Record>(record));
    EXPECT_EQ(table.get<Package>(record).error(), "The resource id " + std::to_string(record) + " is invalid.");
    EXPECT_EQ(table.take<Record>(package).error(), "The resource id " + std::to_string(package) + " is invalid.");
    EXPECT_EQ(table.close(999999).error(), "The resource id 999999 is invalid.");
    EXPECT_EQ(table.size(), 2u);

    EXPECT_TRUE(table.take<Package>(package));
    EXPECT_FALSE(table.get<Package>(package));
    EXPECT_TRUE(table.close(record));
    EXPECT_EQ(table.size(), 0u);
}

TEST(ResourceTable, IdsAreUniqueAcrossTables) {
    core::ResourceTable a, b;
    EXPECT_NE(a.add(std::make_shared<Record>()), b.add(std::make_shared<Record>()));
}

TEST(EventBus, DeliversToMatchingListenersUntilTheyStopOrTheirPageGoes) {
    Host host;
    auto& events = host.app.events();
    auto any = events.listen("tauri://resize", {"Any", ""}, 1, host.main_page);
    events.listen("tauri://resize", {"WebviewWindow", "main"}, 2, host.main_page);
    events.listen("tauri://resize", {"WebviewWindow", "splashscreen"}, 3, host.splash_page);
    events.listen("other", {"Any", ""}, 4, host.main_page);

    events.emit_to("main", "tauri://resize", Json{{"width", 900}, {"height", 700}});
    auto delivered = host.main_page->deliveries();
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[0].first, 1u);
    EXPECT_EQ(delivered[1].first, 2u);
    EXPECT_EQ(to_compact(delivered[0].second),
              R"({"event":"tauri://resize","id":)" + std::to_string(any) + R"(,"payload":{"width":900,"height":700}})");
    EXPECT_TRUE(host.splash_page->deliveries().empty());

    events.unlisten("tauri://resize", any);
    events.emit("tauri://resize", Json(nullptr));
    EXPECT_EQ(host.main_page->deliveries().size(), 3u);
    EXPECT_EQ(host.splash_page->deliveries().size(), 1u);

    events.forget_page("main");
    events.emit("tauri://resize", Json(nullptr));
    events.emit("other", Json(nullptr));
    EXPECT_EQ(host.main_page->deliveries().size(), 3u);
    EXPECT_EQ(host.splash_page->deliveries().size(), 2u);
}

TEST(ThreadPool, RunsEveryQueuedTaskBeforeShutdownReturns) {
    std::atomic<int> done{0};
    {
        core::ThreadPool pool(3);
        for (int i = 0; i < 1000; ++i) pool.post([&] { done.fetch_add(1); });
        pool.shutdown();
        EXPECT_EQ(done.load(), 1000);
        pool.post([&] { done.fetch_add(1); });
    }
    EXPECT_EQ(done.load(), 1000);
}

TEST(Glob, MatchesWholeTexts) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"main", "main", true},         {"main", "main2", false},
        {"main", "mai", false},         {"https://*", "https://a.b/c?d#e", true},
        {"https://*", "http://a.b", false}, {"mailto:*", "mailto:", true},
        {"*", "", true},                {"a?c", "abc", true},
        {"a?c", "ac", false},           {"[ab]x", "bx", true},
        {"[!ab]x", "bx", false},        {"[a-c]x", "cx", true},
        {"a[", "a[", true},             {"*.js", "dir/file.js", true},
        {"a*b*c", "aXbYbZc", true},     {"a*b*c", "aXbYbZ", false},
    };
    for (const auto& c : cases) EXPECT_EQ(core::glob_match(c.pattern, c.text), c.matches) << c.pattern << " ~ " << c.text;
}

TEST(App, PreExitCleanUpReleasesEveryTableAndHidesEveryWindow) {
    Host host;
    host.app.resources().add(std::make_shared<Record>());
    host.app.webview_resources("main").add(std::make_shared<Package>());
    host.app.webview_resources("splashscreen").add(std::make_shared<Record>());
    host.app.request_exit(3);
    ASSERT_TRUE(host.loop.run_until([&] { return host.loop.exit_code.has_value(); }));
    EXPECT_EQ(*host.loop.exit_code, 3);
    EXPECT_EQ(host.app.resources().size(), 0u);
    EXPECT_EQ(host.app.webview_resources("main").size(), 0u);
    EXPECT_EQ(host.app.webview_resources("splashscreen").size(), 0u);
    EXPECT_EQ(host.main_window.calls, std::vector<std::string>{"hide"});
    EXPECT_EQ(host.splash_window.calls, std::vector<std::string>{"hide"});
    EXPECT_FALSE(host.app.restart_requested());
}

}  // namespace
}  // namespace launcher
