// Cost of answering the application scheme from the compiled table: resolving and decompressing
// each asset per request, against a plain memcpy of the largest script's decompressed bytes, and
// the table's compressed size against the raw size of the files it holds.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "assets/asset_resolver.hpp"

namespace {

using launcher::assets::AssetEntry;
using launcher::assets::embedded_asset_table;

void resolve(benchmark::State& state, std::string key, std::size_t size) {
    for (auto _ : state) {
        auto asset = launcher::assets::resolve_asset(key);
        benchmark::DoNotOptimize(asset);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void copy(benchmark::State& state, std::string key) {
    std::vector<std::uint8_t> source = launcher::assets::resolve_asset(key)->body;
    std::vector<std::uint8_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}

// Keeps each run's CPU time per iteration so the summary can set them side by side; CPU time
// rather than wall time, since the machines that run this are shared.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    const AssetEntry* largest_script = nullptr;
    std::size_t raw = 0;
    std::size_t compressed = 0;
    for (const AssetEntry& entry : embedded_asset_table().entries) {
        raw += entry.size;
        compressed += entry.compressed.size();
        std::string key(entry.key);
        benchmark::RegisterBenchmark(("resolve" + key).c_str(), resolve, key, entry.size);
        if (key.ends_with(".js") && (!largest_script || entry.size > largest_script->size)) largest_script = &entry;
    }
    if (largest_script) {
        benchmark::RegisterBenchmark(("memcpy" + std::string(largest_script->key)).c_str(), copy,
                                     std::string(largest_script->key));
    }

    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nembedded size: %zu bytes compressed for %zu bytes of files (%.3f)\n", compressed, raw,
                raw ? static_cast<double>(compressed) / static_cast<double>(raw) : 0.0);
    if (largest_script) {
        std::string key(largest_script->key);
        double resolve_time = reporter.times["resolve" + key];
        double copy_time = reporter.times["memcpy" + key];
        if (resolve_time > 0 && copy_time > 0) {
            std::printf("largest script %s (%zu bytes): resolve + decompress is %.1f times a memcpy\n", key.c_str(),
                        largest_script->size, resolve_time / copy_time);
        }
    }
    return 0;
}
