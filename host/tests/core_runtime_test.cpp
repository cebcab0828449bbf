// The shared pieces of the runtime: resource tables, events, page deliveries, the worker pool,
// glob patterns and the pre-exit clean-up.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/glob.hpp"
#include "core/page_deliveries.hpp"
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

// Two workers deliver to one page while the main thread takes one script for each that was
// opened, as the GTK backend does: every delivery comes out once, each worker's in the order it
// made them, and no script grows much past the limit.
TEST(PageDeliveries, ConcurrentDeliveriesComeOutOnceInOrderInBoundedScripts) {
    constexpr int per_worker = 20000;
    core::PageDeliveries pending;
    std::mutex mutex;
    std::condition_variable wake;
    int opened = 0;
    int finished = 0;
    auto deliver = [&](int worker) {
        for (int i = 0; i < per_worker; ++i) {
            if (pending.push(7, Json{{"worker", worker}, {"index", i}})) {
                std::lock_guard lock(mutex);
                ++opened;
                wake.notify_one();
            }
        }
        std::lock_guard lock(mutex);
        ++finished;
        wake.notify_one();
    };
    std::thread first(deliver, 1), second(deliver, 2);
    std::string all;
    for (int taken = 0;; ++taken) {
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [&] { return opened > taken || finished == 2; });
            if (opened == taken) break;
        }
        auto script = pending.take();
        EXPECT_LT(script.size(), core::PageDeliveries::script_limit + 100);
        all += script;
    }
    first.join();
    second.join();
    EXPECT_TRUE(pending.take().empty());

    std::size_t deliveries = 0;
    for (auto at = all.find("\"index\":"); at != std::string::npos; at = all.find("\"index\":", at + 1)) {
        ++deliveries;
    }
    EXPECT_EQ(deliveries, 2u * per_worker);
    for (int worker : {1, 2}) {
        std::size_t at = 0;
        for (int i = 0; i < per_worker && at != std::string::npos; ++i) {
            at = all.find(to_compact(Json{{"worker", worker}, {"index", i}}), at);
            EXPECT_NE(at, std::string::npos) << "worker " << worker << ", delivery " << i << " lost or out of order";
        }
    }
}

TEST(Glob, MatchesWholeTexts) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"main", "main", true},
        {"main", "main2", false},
        {"main", "mai", false},
        {"https://*", "https://a.b/c?d#e", true},
        {"https://*", "http://a.b", false},
        {"mailto:*", "mailto:", true},
        {"*", "", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"[ab]x", "bx", true},
        {"[!ab]x", "bx", false},
        {"[a-c]x", "cx", true},
        {"a[", "a[", true},
        {"*.js", "dir/file.js", true},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::glob_match(c.pattern, c.text), c.matches) << c.pattern << " ~ " << c.text;
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
