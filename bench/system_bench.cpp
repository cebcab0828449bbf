// Cost of the system facts: list_gpus (a fresh Vulkan instance and EGL context per call) beside
// `vulkaninfo --summary` run in the same loop, reported as a ratio; and cpu_info and memory_info
// per call, each encoded to the compact JSON the page receives.
#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <chrono>

#include <benchmark/benchmark.h>

#include "platform/graphics.hpp"
#include "platform/system_probe.hpp"
#include "plugins/system_info/system_info_state.hpp"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Runs `vulkaninfo --summary` with its output discarded and waits for it.
void run_vulkaninfo() {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char program[] = "vulkaninfo";
    char summary[] = "--summary";
    char* argv[] = {program, summary, nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, &actions, nullptr, argv, environ) == 0) waitpid(pid, nullptr, 0);
    posix_spawn_file_actions_destroy(&actions);
}

// Each iteration times one list_gpus call (the reported time) and one vulkaninfo run, so both
// see the same machine load; the counters give vulkaninfo's mean and the ratio of the two.
void list_gpus_beside_vulkaninfo(benchmark::State& state) {
    double ours = 0;
    double reference = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        auto json = launcher::to_compact(launcher::gpu::to_json(launcher::platform::list_gpus()));
        benchmark::DoNotOptimize(json);
        auto middle = Clock::now();
        run_vulkaninfo();
        auto end = Clock::now();
        double seconds = std::chrono::duration<double>(middle - start).count();
        ours += seconds;
        reference += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(seconds);
    }
    auto n = static_cast<double>(state.iterations());
    state.counters["vulkaninfo_ms"] = reference / n * 1000;
    state.counters["ratio_to_vulkaninfo"] = ours / reference;
}
BENCHMARK(list_gpus_beside_vulkaninfo)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

launcher::plugins::system_info::SystemInfoState& snapshot() {
    static launcher::plugins::system_info::SystemInfoState state(launcher::platform::make_system_probe());
    state.finish_usage_measurement();
    return state;
}

void cpu_info(benchmark::State& state) {
    auto& info = snapshot();
    for (auto _ : state) {
        auto json = launcher::to_compact(launcher::plugins::system_info::to_json(info.cpu_info()));
        benchmark::DoNotOptimize(json);
    }
}
BENCHMARK(cpu_info)->Unit(benchmark::kMicrosecond);

void memory_info(benchmark::State& state) {
    auto& info = snapshot();
    for (auto _ : state) {
        auto json = launcher::to_compact(launcher::plugins::system_info::to_json(info.memory_info()));
        benchmark::DoNotOptimize(json);
    }
}
BENCHMARK(memory_info)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
