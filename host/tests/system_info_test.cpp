#include <gtest/gtest.h>

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <deque>
#include <fstream>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/app.hpp"
#include "plugins/system_info/system_info_plugin.hpp"
#include "plugins/system_info/system_info_records.hpp"
#include "plugins/system_info/system_info_state.hpp"

namespace launcher::plugins::system_info {
namespace {

using platform::MemoryFigures;
using platform::ProcessorTimes;
using platform::SwapFigures;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

TEST(SystemInfoRecords, UsageIsTheShortestFloatTextWithAFraction) {
    struct Case {
        float value;
        const char* json;
    };
    const std::vector<Case> cases = {
        {100.0f, "100.0"},
        {0.0f, "0.0"},
        {-0.0f, "-0.0"},
        {50.0f, "50.0"},
        {12.5f, "12.5"},
        {0.1f, "0.1"},
        {100.0f / 11.0f, "9.090909"},
        {100.0f / 3.0f, "33.333332"},
        {200.0f / 3.0f, "66.666664"},
        {99.99999f, "99.99999"},
        {1.0e-5f, "1e-05"},
        {nan, "null"},
        {inf, "null"},
        {-inf, "null"},
    };
    for (const auto& c : cases) EXPECT_EQ(to_compact(float_json(c.value)), c.json) << c.value;
}

TEST(SystemInfoRecords, UsageTextReadsBackAsTheSameFloatAndIsNoLonger) {
    // Every float from 0 to 100 in steps of 1/1024 and the usage figures of typical readings.
    std::vector<float> values;
    for (int i = 0; i <= 102400; ++i) values.push_back(static_cast<float>(i) / 1024.0f);
    for (int busy = 0; busy <= 250; ++busy) values.push_back(100.0f * static_cast<float>(busy) / 250.0f);
    for (int busy = 0; busy <= 37; ++busy) values.push_back(100.0f * static_cast<float>(busy) / 37.0f);
    for (float value : values) {
        auto text = to_compact(float_json(value));
        float back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(back, value) << text;
        char shortest[64];
        auto end = std::to_chars(shortest, shortest + sizeof shortest, value).ptr;
        std::string digits(shortest, end);
        if (digits.find('.') == std::string::npos) digits += ".0";
        ASSERT_EQ(text, digits);
    }
}

TEST(SystemInfoRecords, RecordKeysInOrder) {
    CpuInfo cpu{{{"CPU 1", 2596, 12.5f, "GenuineIntel", "Intel \"Xeon\""}, {"CPU 2", 0, nan, "GenuineIntel", ""}}, 2};
    EXPECT_EQ(to_compact(to_json(cpu)),
              R"({"cpus":[{"name":"CPU 1","frequency":2596,"cpu_usage":12.5,"vendor_id":"GenuineIntel",)"
              R"("brand":"Intel \"Xeon\""},{"name":"CPU 2","frequency":0,"cpu_usage":null,)"
              R"("vendor_id":"GenuineIntel","brand":""}],"cpu_count":2})");
    EXPECT_EQ(to_compact(to_json(CpuInfo{})), R"({"cpus":[],"cpu_count":0})");
    MemoryInfo memory{18446744073709551615ull, 1, 2, 3};
    EXPECT_EQ(to_compact(to_json(memory)),
              R"({"total_memory":18446744073709551615,"used_memory":1,"total_swap":2,"used_swap":3})");
}

TEST(SystemInfoRecords, UsageBetweenTwoReadings) {
    struct Case {
        const char* what;
        std::vector<ProcessorTimes> before;
        std::vector<ProcessorTimes> after;
        std::size_t count;
        std::vector<float> usage;
    };
    const std::vector<Case> cases = {
        {"busy and idle processors", {{100, 200}, {100, 200}}, {{100, 210}, {110, 210}}, 2, {100.0f, 0.0f}},
        {"partly busy", {{1000, 4000}}, {{1003, 4004}}, 1, {25.0f}},
        {"no time passed", {{5, 10}}, {{5, 10}}, 1, {nan}},
        {"counter went backwards", {{50, 100}}, {{10, 40}}, 1, {nan}},
        {"idle went backwards", {{50, 100}}, {{40, 140}}, 1, {nan}},
        {"idle grew more than total", {{0, 0}}, {{20, 10}}, 1, {0.0f}},
        {"fewer readings than processors", {{0, 0}}, {{1, 4}}, 3, {75.0f, nan, nan}},
        {"no readings", {}, {}, 2, {nan, nan}},
    };
    for (const auto& c : cases) {
        auto usage = usage_between(c.before, c.after, c.count);
        ASSERT_EQ(usage.size(), c.usage.size()) << c.what;
        for (std::size_t i = 0; i < usage.size(); ++i) {
            EXPECT_EQ(to_compact(float_json(usage[i])), to_compact(float_json(c.usage[i]))) << c.what << " #" << i;
        }
    }
}

// Figures set by the test; each processor_times() call hands out the next queued reading.
class FixedProbe : public platform::SystemProbe {
public:
    std::optional<MemoryFigures> memory() const override {
        std::lock_guard lock(mutex);
        ++memory_queries;
        return memory_figures;
    }
    std::optional<SwapFigures> swap() const override {
        std::lock_guard lock(mutex);
        return swap_figures;
    }
    std::size_t logical_processors() const override { return processors; }
    platform::ProcessorIdentity processor_identity() const override { return {"AuthenticAMD", "AMD Ryzen"}; }
    std::optional<std::vector<std::uint64_t>> frequencies_mhz() const override { return frequencies; }
    std::optional<std::vector<ProcessorTimes>> processor_times() const override {
        std::lock_guard lock(mutex);
        if (readings.empty()) return std::nullopt;
        auto next = readings.front();
        readings.pop_front();
        return next;
    }

    mutable std::mutex mutex;
    mutable int memory_queries = 0;
    std::optional<MemoryFigures> memory_figures = MemoryFigures{1000, 400};
    std::optional<SwapFigures> swap_figures = SwapFigures{50, 5};
    std::size_t processors = 3;
    std::optional<std::vector<std::uint64_t>> frequencies = std::vector<std::uint64_t>{3400, 3401, 3402};
    mutable std::deque<std::optional<std::vector<ProcessorTimes>>> readings = {
        std::vector<ProcessorTimes>{{0, 0}, {0, 0}, {0, 0}},
        std::vector<ProcessorTimes>{{0, 10}, {10, 10}, {3, 4}},
        std::vector<ProcessorTimes>{{10, 10}, {0, 10}, {0, 10}},
    };
};

TEST(SystemInfoState, ProcessorFiguresAreMeasuredOnceThenFrozen) {
    auto probe = std::make_shared<FixedProbe>();
    SystemInfoState state(probe, std::chrono::milliseconds(20));
    auto started = std::chrono::steady_clock::now();
    auto first = to_compact(to_json(state.cpu_info()));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(15))
        << "an early cpu_info waits for the second reading";
    state.finish_usage_measurement();
    EXPECT_EQ(to_compact(to_json(state.cpu_info())), first);
    EXPECT_EQ(probe->readings.size(), 1u) << "exactly two readings are taken";
    EXPECT_EQ(first,
              R"({"cpus":[{"name":"CPU 1","frequency":3400,"cpu_usage":100.0,"vendor_id":"AuthenticAMD",)"
              R"("brand":"AMD Ryzen"},{"name":"CPU 2","frequency":3401,"cpu_usage":0.0,"vendor_id":"AuthenticAMD",)"
              R"("brand":"AMD Ryzen"},{"name":"CPU 3","frequency":3402,"cpu_usage":25.0,)"
              R"("vendor_id":"AuthenticAMD","brand":"AMD Ryzen"}],"cpu_count":3})");
}

TEST(SystemInfoState, ConcurrentCallersShareOneMeasurement) {
    auto probe = std::make_shared<FixedProbe>();
    SystemInfoState state(probe, std::chrono::milliseconds(30));
    std::vector<std::string> answers(4);
    std::vector<std::thread> callers;
    for (auto& answer : answers) callers.emplace_back([&] { answer = to_compact(to_json(state.cpu_info())); });
    state.finish_usage_measurement();
    for (auto& caller : callers) caller.join();
    for (const auto& answer : answers) EXPECT_EQ(answer, answers[0]);
    EXPECT_EQ(probe->readings.size(), 1u);
}

TEST(SystemInfoState, FailedQueries) {
    struct Case {
        const char* what;
        std::function<void(FixedProbe&)> arrange;
        std::string cpu_json;
    };
    const std::vector<Case> cases = {
        {"no frequencies, no first reading",
         [](FixedProbe& p) {
             p.processors = 2;
             p.frequencies.reset();
             p.readings = {std::nullopt};
         },
         R"({"cpus":[{"name":"CPU 1","frequency":0,"cpu_usage":null,"vendor_id":"AuthenticAMD","brand":"AMD Ryzen"},)"
         R"({"name":"CPU 2","frequency":0,"cpu_usage":null,"vendor_id":"AuthenticAMD","brand":"AMD Ryzen"}],)"
         R"("cpu_count":2})"},
        {"fewer frequencies than processors, no second reading",
         [](FixedProbe& p) {
             p.processors = 2;
             p.frequencies = std::vector<std::uint64_t>{1200};
             p.readings = {std::vector<ProcessorTimes>{{0, 0}, {0, 0}}, std::nullopt};
         },
         R"({"cpus":[{"name":"CPU 1","frequency":1200,"cpu_usage":null,"vendor_id":"AuthenticAMD",)"
         R"("brand":"AMD Ryzen"},{"name":"CPU 2","frequency":0,"cpu_usage":null,"vendor_id":"AuthenticAMD",)"
         R"("brand":"AMD Ryzen"}],"cpu_count":2})"},
    };
    for (const auto& c : cases) {
        auto probe = std::make_shared<FixedProbe>();
        c.arrange(*probe);
        SystemInfoState state(probe, std::chrono::milliseconds(1));
        EXPECT_EQ(to_compact(to_json(state.cpu_info())), c.cpu_json) << c.what;
    }
}

TEST(SystemInfoState, MemoryIsRefreshedOncePerCall) {
    auto probe = std::make_shared<FixedProbe>();
    SystemInfoState state(probe, std::chrono::milliseconds(1));
    struct Step {
        std::optional<MemoryFigures> memory;
        std::optional<SwapFigures> swap;
        const char* json;
    };
    const std::vector<Step> steps = {
        {MemoryFigures{1000, 400}, SwapFigures{50, 5},
         R"({"total_memory":1000,"used_memory":600,"total_swap":50,"used_swap":5})"},
        {MemoryFigures{1000, 100}, std::nullopt,  // the swap query failed: the last swap figures stay
         R"({"total_memory":1000,"used_memory":900,"total_swap":50,"used_swap":5})"},
        {std::nullopt, SwapFigures{60, 6}, R"({"total_memory":0,"used_memory":0,"total_swap":60,"used_swap":6})"},
        {MemoryFigures{1000, 1200}, SwapFigures{60, 6},  // available above total is no negative use
         R"({"total_memory":1000,"used_memory":0,"total_swap":60,"used_swap":6})"},
    };
    for (const auto& step : steps) {
        probe->memory_figures = step.memory;
        probe->swap_figures = step.swap;
        int queries = probe->memory_queries;
        EXPECT_EQ(to_compact(to_json(state.memory_info())), step.json);
        EXPECT_EQ(probe->memory_queries, queries + 1);
    }
}

TEST(SystemInfoState, SwapFailingAtStartIsZero) {
    auto probe = std::make_shared<FixedProbe>();
    probe->swap_figures.reset();
    SystemInfoState state(probe, std::chrono::milliseconds(1));
    auto memory = state.memory_info();
    EXPECT_EQ(memory.total_swap, 0u);
    EXPECT_EQ(memory.used_swap, 0u);
}

class InlineLoop : public core::MainLoop {
public:
    void post(std::function<void()> task) override { task(); }
    void quit(int) override {}
};

// Calls a command as the main window's page does; synchronous commands answer at once.
core::CommandResult call(core::App& app, const std::string& key) {
    std::optional<core::CommandResult> answer;
    app.router().dispatch({key, Json::object(), {"main", "main", true}, nullptr},
                          [&](core::CommandResult result) { answer = std::move(result); });
    return answer.value_or(std::unexpected(std::string("no answer at once")));
}

std::uint64_t mem_total_bytes() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    meminfo >> key >> kib;
    EXPECT_EQ(key, "MemTotal:");
    return kib * 1024;
}

TEST(SystemInfoPlugin, CommandsOnThisMachine) {
    InlineLoop loop;
    core::App app({"Mirravel - Launcher", "0.1.36", "test"}, loop, 2);
    core::PermissionSet permissions;
    for (const char* key : {"plugin:system-info|cpu_info", "plugin:system-info|memory_info"}) {
        permissions.granted[key] = {core::PermissionEntry{{"main"}, true}};
    }
    app.router().set_permissions(permissions);
    register_system_info_plugin(app, platform::make_system_probe());
    ASSERT_NE(app.state().find<SystemInfoState>(), nullptr);

    auto cpu = call(app, "plugin:system-info|cpu_info");
    ASSERT_TRUE(cpu) << cpu.error();
    auto online = static_cast<std::size_t>(sysconf(_SC_NPROCESSORS_ONLN));
    ASSERT_EQ((*cpu)["cpu_count"], online);
    ASSERT_EQ((*cpu)["cpus"].size(), online);
    for (std::size_t i = 0; i < online; ++i) {
        const auto& entry = (*cpu)["cpus"][i];
        EXPECT_EQ(entry["name"], "CPU " + std::to_string(i + 1));
        EXPECT_EQ(entry["vendor_id"], (*cpu)["cpus"][0]["vendor_id"]);
        if (!entry["cpu_usage"].is_null()) {
            EXPECT_GE(entry["cpu_usage"].get<double>(), 0.0);
            EXPECT_LE(entry["cpu_usage"].get<double>(), 100.0);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    auto again = call(app, "plugin:system-info|cpu_info");
    ASSERT_TRUE(again);
    EXPECT_EQ(to_compact(*again), to_compact(*cpu));

    auto memory = call(app, "plugin:system-info|memory_info");
    ASSERT_TRUE(memory) << memory.error();
    EXPECT_EQ((*memory)["total_memory"], mem_total_bytes());
    EXPECT_LE((*memory)["used_memory"].get<std::uint64_t>(), (*memory)["total_memory"].get<std::uint64_t>());
    EXPECT_LE((*memory)["used_swap"].get<std::uint64_t>(), (*memory)["total_swap"].get<std::uint64_t>());

    auto unknown = call(app, "plugin:system-info|refresh");
    ASSERT_FALSE(unknown);
    app.shutdown();
}

}  // namespace
}  // namespace launcher::plugins::system_info
