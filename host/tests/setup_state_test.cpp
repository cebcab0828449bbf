// When the splash hands off to the main window: every order of reports, repeats and invalid
// tasks, and exactly one hand-off under concurrent reports.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "launcher/set_complete.hpp"
#include "launcher/setup_state.hpp"
#include "router_harness.hpp"

namespace launcher {
namespace {

TEST(SetupState, HandsOffOnceOnTheReportThatCompletesThePair) {
    struct Case {
        std::vector<std::string> reports;
        int hand_off_at;  // index of the report that hands off, -1 for none
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        {{"backend", "frontend"}, 1, {}},
        {{"frontend", "backend"}, 1, {}},
        {{"frontend", "frontend", "backend"}, 2, {}},
        {{"backend", "backend"}, -1, {}},
        {{"frontend"}, -1, {}},
        {{"backend", "frontend", "frontend", "backend"}, 1, {}},
        {{"Frontend", "backend", "FRONTEND", "frontend "}, -1, {"Frontend", "FRONTEND", "frontend "}},
        {{"", "backend", "frontend"}, 2, {""}},
        {{"backend", "front", "frontend"}, 2, {"front"}},
    };
    for (const auto& c : cases) {
        SetupState state;
        int hand_offs = 0, hand_off_at = -1;
        std::vector<std::string> errors;
        for (std::size_t i = 0; i < c.reports.size(); ++i) {
            auto done = state.complete(c.reports[i], [&] {
                ++hand_offs;
                hand_off_at = static_cast<int>(i);
            });
            if (!done) {
                EXPECT_EQ(done.error(), "invalid task completed!");
                errors.push_back(c.reports[i]);
            }
        }
        std::string reports;
        for (const auto& r : c.reports) reports += "'" + r + "' ";
        EXPECT_EQ(hand_off_at, c.hand_off_at) << reports;
        EXPECT_LE(hand_offs, 1) << reports;
        EXPECT_EQ(errors, c.errors) << reports;
    }
}

TEST(SetupState, ConcurrentReportsHandOffExactlyOnce) {
    for (int round = 0; round < 200; ++round) {
        SetupState state;
        std::atomic<int> hand_offs{0};
        std::atomic<bool> go{false};
        std::vector<std::thread> reporters;
        for (int i = 0; i < 8; ++i) {
            reporters.emplace_back([&, i] {
                while (!go) std::this_thread::yield();
                (void)state.complete(i % 2 ? "frontend" : "backend", [&] { ++hand_offs; });
            });
        }
        go = true;
        for (auto& t : reporters) t.join();
        ASSERT_EQ(hand_offs.load(), 1) << "round " << round;
    }
}

TEST(SetComplete, TheHandOffClosesTheSplashAndShowsMainOnTheMainThread) {
    testing::Host host;
    SetupState state;
    ASSERT_TRUE(set_complete(host.app, state, "frontend"));
    ASSERT_TRUE(set_complete(host.app, state, "backend"));
    EXPECT_TRUE(host.splash_window.calls.empty()) << "window work is posted, not done under the lock";
    ASSERT_TRUE(host.loop.run_until([&] { return !host.main_window.calls.empty(); }));
    EXPECT_EQ(host.splash_window.calls, std::vector<std::string>{"close"});
    EXPECT_EQ(host.main_window.calls, std::vector<std::string>{"show"});

    // A later report (a reload of the main page) disturbs no window.
    ASSERT_TRUE(set_complete(host.app, state, "frontend"));
    bool drained = false;
    host.app.loop().post([&] { drained = true; });
    ASSERT_TRUE(host.loop.run_until([&] { return drained; }));
    EXPECT_EQ(host.main_window.calls, std::vector<std::string>{"show"});
}

TEST(SetComplete, AnInvalidTaskIsAnsweredAndWrittenToStandardError) {
    testing::Host host;
    SetupState state;
    ::testing::internal::CaptureStderr();
    auto done = set_complete(host.app, state, "invalid");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "invalid task completed!\n");
    EXPECT_EQ(done.error(), "invalid task completed!");
    EXPECT_FALSE(state.frontend_done());
    EXPECT_FALSE(state.backend_done());
}

}  // namespace
}  // namespace launcher
